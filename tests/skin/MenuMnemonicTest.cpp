#include "skin/MenuMnemonic.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <optional>
#include <ostream>
#include <string>

namespace {

struct MnemonicRow {
    std::string name;
    QStringList labels;
    char16_t typed;
    std::optional<int> expected;
};

void PrintTo(const MnemonicRow& row, std::ostream* os) {
    *os << row.name;
}

class MnemonicTest : public ::testing::TestWithParam<MnemonicRow> {};

TEST_P(MnemonicTest, FindsFirstMatchingItem) {
    const MnemonicRow& row = GetParam();
    EXPECT_EQ(findMnemonicItem(row.labels, QChar(row.typed)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MnemonicTest,
    ::testing::Values(MnemonicRow{"t_opens_filtres", {"&Fichier", "Fil&tres"}, u't', 1},
                      MnemonicRow{"upper_case_typed", {"&Fichier", "Fil&tres"}, u'T', 1},
                      MnemonicRow{"no_match", {"&Fichier", "Fil&tres"}, u'x', std::nullopt},
                      MnemonicRow{
                          "double_ampersand_is_literal", {"Noir && &blanc", "&Tout"}, u'b', 0},
                      MnemonicRow{"double_ampersand_never_matches", {"A&&Tout", "&Tri"}, u't', 1},
                      MnemonicRow{"ampersand_typed", {"A&&B"}, u'&', std::nullopt},
                      MnemonicRow{"lower_case_label", {"fil&tres"}, u'T', 0},
                      MnemonicRow{"second_marker_counts", {"&Rotation &gauche"}, u'g', 0},
                      MnemonicRow{"top_item_wins", {"&Ouvrir", "&Options"}, u'o', 0},
                      MnemonicRow{"trailing_ampersand", {"Tout&"}, u't', std::nullopt},
                      MnemonicRow{"accented_letter", {"&Édition"}, u'é', 0}),
    [](const auto& info) { return info.param.name; });

} // namespace
