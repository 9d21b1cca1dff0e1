#pragma once

// The file actions every plot window shares: the "Save Picture…" button (a
// click saves a PDF, its menu offers PNG and SVG), saving bytes chosen in a
// save panel, copying and printing a picture.

#include "plot/PictureExport.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QToolButton;
class QWidget;

namespace quorvella {

class Ui;

// Writes bytes to path all at once (temporary file, then rename). On
// failure tells the user through ui with the system's reason, leaves any
// old file untouched and returns false.
bool writeFileOrExplain(Ui &ui, const QString &path, const QByteArray &bytes);

// Asks for a file with the extension, then writes the bytes; cancelling
// writes nothing.
void saveBytesWithPanel(Ui &ui, const QString &panelTitle, const QString &extension,
                        const QByteArray &bytes);

// Saves the picture in a format chosen in a save panel. This and the two
// below draw a drawing that takes long on another thread behind a progress
// wait; Cancel there leaves everything as it was.
void savePictureWithPanel(Ui &ui, PictureFormat format, const PictureDrawing &drawing);

// Puts the picture on the clipboard as image, PDF and SVG.
void copyPicture(const PictureDrawing &drawing);

// Draws the picture on a page (printer or print preview), scaled to fit it
// whole with its proportions kept.
void printPicture(QPagedPaintDevice &pages, const PictureDrawing &drawing);

// A print preview of the picture, titled title, through ui.
void printPictureWithPreview(Ui &ui, const QString &title, const PictureDrawing &drawing);

// The "Save Picture…" tool button: a click calls save with PDF, the
// button's menu offers each format.
QToolButton *makeSavePictureButton(QWidget *parent, std::function<void(PictureFormat)> save);

} // namespace quorvella
