#include "analysis/NameOrder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvella {
namespace {

// Simple case folding of the Latin, Greek and Cyrillic blocks, with the
// cases that full folding or lower-casing would get wrong.
TEST(NameOrder, SimpleCaseFolding)
{
    const std::pair<char32_t, char32_t> folds[] = {
        {U'A', U'a'}, {U'z', U'z'}, {U'É', U'é'}, {U'é', U'é'},           {U'Ÿ', U'ÿ'},
        {U'Ā', U'ā'}, {U'Ǆ', U'ǆ'}, {U'ǅ', U'ǆ'}, {U'Σ', U'σ'},           {U'ς', U'σ'},
        {U'Ω', U'ω'}, {U'ϐ', U'β'}, {U'Ё', U'ё'}, {U'Я', U'я'},           {U'Ґ', U'ґ'},
        {U'Ḁ', U'ḁ'}, {U'ẞ', U'ß'}, {U'ß', U'ß'}, {U'İ', U'İ'},           {U'ſ', U's'},
        {U'µ', U'μ'}, {U'ᾈ', U'ᾀ'}, {U'ΐ', U'ΐ'}, {U'\u4E2D', U'\u4E2D'},
    };
    for (const auto &[from, to] : folds) {
        EXPECT_EQ(simpleCaseFold(from), to) << std::hex << static_cast<unsigned>(from);
        EXPECT_EQ(simpleCaseFold(to), simpleCaseFold(from)); // folding is idempotent
    }
}

std::vector<std::string> sorted(std::vector<std::string> names, bool ignoringCase)
{
    std::stable_sort(names.begin(), names.end(), [&](const std::string &a, const std::string &b) {
        return (ignoringCase ? compareNamesIgnoringCase(a, b) : compareNames(a, b)) < 0;
    });
    return names;
}

TEST(NameOrder, ListsWithoutRegardToCase)
{
    const struct
    {
        std::vector<std::string> given;
        std::vector<std::string> listed;
    } rows[] = {
        {{"Ébc", "éab"}, {"éab", "Ébc"}},
        {{"Zeta", "Étang", "Dorsum", "eau"}, {"Dorsum", "eau", "Étang", "Zeta"}},
        {{"é", "e", "f"}, {"e", "é", "f"}},                             // accent after its letter
        {{"E\u0301tang", "Ezz", "Eta"}, {"Eta", "E\u0301tang", "Ezz"}}, // decomposed
        {{"βήτα", "Άλφα", "ΓΆΜΜΑ"}, {"Άλφα", "βήτα", "ΓΆΜΜΑ"}},
        {{"Ель", "берёза", "Абрикос"}, {"Абрикос", "берёза", "Ель"}},
        {{"a\xff", "b", "a"}, {"a", "a\xff", "b"}}, // a stray byte sorts after characters
    };
    for (const auto &row : rows) {
        EXPECT_EQ(sorted(row.given, true), row.listed);
    }
    EXPECT_EQ(compareNamesIgnoringCase("ÉTANG", "étang"), 0);
    EXPECT_EQ(compareNamesIgnoringCase("Straße", "STRASSE") != 0, true); // simple, not full
}

TEST(NameOrder, ListsWithRegardToCase)
{
    EXPECT_EQ(sorted({"b", "Étang", "a", "Zeta", "Eau", "étang"}, false),
              (std::vector<std::string>{"Eau", "Étang", "Zeta", "a", "b", "étang"}));
    EXPECT_EQ(sorted({"Étang", "Etang"}, false), (std::vector<std::string>{"Etang", "Étang"}));
    EXPECT_EQ(compareNames("a", "a"), 0);
    EXPECT_NE(compareNames(std::string("a\0b", 3), "ab"), 0);
}

} // namespace
} // namespace quorvella
