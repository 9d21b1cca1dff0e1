#include "textio/ImportParsing.h"

#include "log/Log.h"
#include "textio/CharacterClasses.h"
#include "textio/CollectionGroupReader.h"
#include "textio/FieldReader.h"
#include "textio/NumberReader.h"

#include <cstddef>
#include <optional>

namespace quorvella {
namespace {

constexpr std::string_view malformedRowLogLine =
    "error in addCollectionToMOCFromString in MyDocument";

bool isAbundanceListSeparatorAt(std::string_view text, std::size_t pos)
{
    return skipAbundanceListSeparators(text, pos) > pos;
}

// Past a token that is not a number (only in a text that was not validated).
std::size_t skipToken(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && !isAbundanceListSeparatorAt(text, pos)) {
        ++pos;
    }
    return pos;
}

} // namespace

std::string unnamedSpeciesNameFor(std::size_t serial)
{
    std::string name(unnamedSpeciesName);
    name += ' ';
    name += std::to_string(serial);
    return name;
}

ImportedCollection parseAbundanceList(std::string_view text)
{
    ImportedCollection collection{std::string(importedCollectionName), {}};
    readAbundanceList(text, [&collection](std::int32_t abundance) {
        collection.taxa.push_back({unnamedSpeciesNameFor(collection.taxa.size() + 1), abundance});
    });
    return collection;
}

void readAbundanceList(std::string_view text, const std::function<void(std::int32_t)> &take)
{
    std::size_t pos = skipAbundanceListSeparators(text, 0);
    while (pos < text.size()) {
        const std::optional<NumberToken> number = readNumber(text, pos);
        if (!number) {
            pos = skipAbundanceListSeparators(text, skipToken(text, pos));
            continue;
        }
        take(integerValue(*number));
        pos = skipAbundanceListSeparators(text, pos + number->length);
    }
}

ImportedCollection parseCollection(std::string_view text)
{
    ImportedCollection collection{std::string(importedCollectionName), {}};
    // Every row of a validated text sets the name before its abundance.
    std::string name;
    FieldReader reader(text, detectFieldSeparator(text));
    Field field;
    while (reader.next(field)) {
        if (!field.isRowEnd()) {
            if (field.column == 1) {
                name.assign(field.text);
            } else {
                logLine(malformedRowLogLine);
            }
        } else if (!field.text.empty()) {
            if (field.column == 1) {
                logLine(malformedRowLogLine);
            } else {
                collection.taxa.push_back({name, integerValue(field.text)});
            }
        }
    }
    return collection;
}

ImportedCollectionGroup parseCollectionGroup(std::string_view text)
{
    ImportedCollectionGroup group;
    group.completionNames =
        parseCollectionGroup(text, [&group](const ImportedCollection &collection) {
            group.collections.push_back(collection);
        });
    return group;
}

std::vector<std::string>
parseCollectionGroup(std::string_view text,
                     const std::function<void(const ImportedCollection &)> &take)
{
    // One collection at a time: its value is handed over and then reused.
    ImportedCollection collection;
    return readCheckedCollectionGroup(text, [&](const GroupRow &row) {
        collection.name.assign(row.name);
        collection.taxa.clear();
        for (const GroupCell &cell : row.cells) {
            collection.taxa.push_back(
                {std::string(row.speciesNames[cell.species]), cell.abundance});
        }
        take(collection);
    });
}

} // namespace quorvella
