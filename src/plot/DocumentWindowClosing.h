#pragma once

// Lets the windows a document opened (plots, comparisons) close with the
// document's window.

#include <functional>

class QObject;
class QWidget;

namespace quorvella {

// Calls closeAll, owned by context, once documentWindow has really closed:
// the document window may refuse a close (unsaved changes), so the call
// waits until the close has gone through.
void whenDocumentWindowCloses(QWidget &documentWindow, QObject *context,
                              std::function<void()> closeAll);

} // namespace quorvella
