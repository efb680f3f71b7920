#include "tools/HelpText.h"

#include <gtest/gtest.h>

namespace {

const QString kSource = QStringLiteral(
    "# The *first* heading\n"
    "\n"
    "A paragraph with `code ; spans`, **emphasis**, a [link](https://example.com/hidden) and\n"
    "an escaped \\* star, on two lines; any of `{ } ( ) \\`.\n"
    "\n"
    "![A caption that is not printed](picture.png)\n"
    "\n"
    "| Keys | Effect |\n"
    "|---|:---:|\n"
    "| `<>` | different \\| unlike |\n"
    "| Ctrl+F | Puts the cursor in the field. |\n"
    "\n"
    "- tables: `symbol;table`, and under a different\n"
    "  table its columns;\n"
    "- data-dictionary items.\n"
    "\n"
    "```\n"
    "quorvix-batch tables --left PROD -o /srv/exports/difference.csv\n"
    "```\n"
    "\n"
    "## Troubleshooting ##\n"
    "Fine print right under the heading.\n");

// The source as a printer may give it back: ligatures, typographic quotes, a word cut at its
// hyphen, a command wrapped within a word, list bullets and page furniture between the blocks.
const QString kPrinted = QStringLiteral(
    "The ﬁrst heading\n"
    "A paragraph with code ; spans, emphasis, a link and an escaped * star, on two lines; any of\n"
    "{ } ( ) \\.\n"
    "Keys Effect\n"
    "<> diﬀerent | unlike\n"
    "Ctrl+F Puts the cursor in the ﬁeld.\n"
    "• tables: symbol;table, and under a diﬀerent table its columns;\n"
    "• data-\n"
    "dictionary items.\n"
    "quorvix-batch tables --left PROD -o /srv/exports/diffe\n"
    "rence.csv\n"
    "3\n"
    "Troubleshooting\n"
    "Fine print right under the heading.\n");

QStringList Kinds(const CHelpText& text) {
    QStringList kinds;
    for (const CHelpText::Element& element : text.Elements())
        kinds.append(element.kind);
    return kinds;
}

} // namespace

TEST(HelpText, EveryBlockOfTheSourceIsAnElementOfWhatItShows) {
    const CHelpText text(kSource);
    EXPECT_EQ(Kinds(text), (QStringList{"heading", "paragraph", "table cell", "table cell",
                                        "table cell", "table cell", "table cell", "list item",
                                        "list item", "command example", "heading", "paragraph"}));
    const QList<CHelpText::Element>& elements = text.Elements();
    ASSERT_EQ(elements.size(), 12);
    EXPECT_EQ(elements[0].text, "The *first* heading");
    // A link shows its text, not its address; a code span its text as written.
    EXPECT_EQ(elements[1].words,
              (QStringList{"a", "paragraph", "with", "code", "spans", "emphasis", "a", "link",
                           "and", "an", "escaped", "star", "on", "two", "lines", "any", "of"}));
    // The picture's caption is not printed; the delimiter row and the symbol cell hold no word.
    EXPECT_EQ(elements[4].words, (QStringList{"different", "unlike"}));
    EXPECT_EQ(elements[7].text, "tables: symbol;table, and under a different table its columns;");
    EXPECT_EQ(elements[10].text, "Troubleshooting");
}

TEST(HelpText, WhatPrintingChangesFairlyIsNoLoss) {
    const CHelpText::Comparison result = CHelpText(kSource).Compare(kPrinted);
    EXPECT_TRUE(result.missing.isEmpty()) << result.missing.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(result.wordsFound, result.wordsExpected);
    EXPECT_EQ(result.elementsExpected, 12);
    // Entities are the characters they stand for, outside code spans only.
    const CHelpText entities(
        QStringLiteral("Fish &amp; chips&#44;caf&#xE9; `&amp;` &unknown; AT&T\n"));
    EXPECT_EQ(entities.Elements().value(0).words,
              (QStringList{"fish", "chips", "café", "amp", "unknown", "at", "t"}));
    // Case and compatibility forms fold to one word.
    EXPECT_EQ(CHelpText::Words(QStringLiteral("ﬁeld “É” ÉTÉ’s")),
              (QStringList{"field", "é", "été", "s"}));
}

TEST(HelpText, ALossIsNamedWithItsKindAndFirstMissingWord) {
    QString printed = kPrinted;
    // A table row gone, and the last paragraph cut after its third word.
    printed.remove(QStringLiteral("Ctrl+F Puts the cursor in the ﬁeld.\n"));
    printed.replace(QStringLiteral("Fine print right under the heading."),
                    QStringLiteral("Fine print right"));
    const CHelpText::Comparison result = CHelpText(kSource).Compare(printed);
    EXPECT_EQ(
        result.missing,
        (QStringList{"table cell \"Ctrl+F\": missing from word 1 of 2 (\"ctrl\")",
                     "table cell \"Puts the cursor in the field.\": missing from word 1 of 6 "
                     "(\"puts\")",
                     "paragraph \"Fine print right under the heading.\": missing from word 4 of 6 "
                     "(\"under\")"}));
    EXPECT_EQ(result.wordsFound, result.wordsExpected - 2 - 6 - 3);
}

TEST(HelpText, WordsOutOfTheirOrderAreMissing) {
    const CHelpText source(QStringLiteral("# One\n\nFirst words.\n\nSecond words.\n"));
    EXPECT_TRUE(source.Compare(QStringLiteral("One First words. Second words.")).missing.isEmpty());
    // A block printed twice is not a loss; a block printed before its place is.
    EXPECT_TRUE(source.Compare(QStringLiteral("One First words. First words. Second words."))
                    .missing.isEmpty());
    EXPECT_EQ(source.Compare(QStringLiteral("Second words. One First words.")).missing,
              QStringList{"paragraph \"Second words.\": missing from word 1 of 2 (\"second\")"});
}

TEST(HelpText, OnlyWordsWithinThePagesBodyAreVisible) {
    // Two pages of 600 by 800 points with 50-point margins, as pdftotext -bbox describes them.
    const QString boxes = QStringLiteral(
        "<doc>\n"
        "  <page width=\"600.000000\" height=\"800.000000\">\n"
        "    <word xMin=\"50.0\" yMin=\"49.9\" xMax=\"90.0\" yMax=\"61.0\">top</word>\n"
        "    <word xMin=\"92.0\" yMin=\"49.9\" xMax=\"150.0\" yMax=\"61.0\">&lt;a&gt;&amp;"
        "&quot;it&apos;s&quot;</word>\n"
        "    <word xMin=\"500.0\" yMin=\"400.0\" xMax=\"560.0\" yMax=\"411.0\">beyond</word>\n"
        "    <word xMin=\"50.0\" yMin=\"740.0\" xMax=\"90.0\" yMax=\"751.0\">bottom</word>\n"
        "    <word xMin=\"50.0\" yMin=\"752.0\" xMax=\"90.0\" yMax=\"763.0\">clipped</word>\n"
        "  </page>\n"
        "  <page width=\"600.000000\" height=\"800.000000\">\n"
        "    <word xMin=\"50.0\" yMin=\"38.0\" xMax=\"90.0\" yMax=\"49.0\">again</word>\n"
        "    <word xMin=\"50.0\" yMin=\"50.0\" xMax=\"90.0\" yMax=\"61.0\">next</word>\n"
        "  </page>\n"
        "</doc>\n");
    EXPECT_EQ(CHelpText::VisibleText(boxes, 50), "top <a>&\"it's\" bottom next");
}
