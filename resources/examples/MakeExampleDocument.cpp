// Builds the example document from the example collection-group matrix:
//
//   quorvella-make-example forams-matrix.csv forams.qvl
//
// The matrix goes through the same check and import as File > Import >
// Group of Collections, so the document holds exactly what a user importing
// the text would get. The build keeps resources/examples/forams.qvl in step
// with the matrix and the document format (target quorvella_example_document).

#include "store/DocumentFile.h"
#include "store/StoreImport.h"
#include "textio/ImportValidation.h"
#include "textio/TextFile.h"

#include <cstdio>
#include <exception>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvella-make-example MATRIX.csv DOCUMENT.qvl\n");
        return 2;
    }
    const quorvella::TextFileResult matrix = quorvella::readTextFile(argv[1]);
    if (!matrix.ok()) {
        std::fprintf(stderr, "%s\n", matrix.error.c_str());
        return 1;
    }
    const quorvella::ValidationResult check =
        quorvella::validateCollectionGroupFromString(*matrix.text);
    if (!check.isValid()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], check.fault->c_str());
        return 1;
    }
    try {
        quorvella::Store store;
        quorvella::addCollectionGroupToMOCFromString(store, *matrix.text);
        quorvella::DocumentFile::save(store, argv[2]);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
