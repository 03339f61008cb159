// Fuzzes the text box's exact-text model against a plain list of positions: after any edits both hold the
// same units, positions, mapping between them and count of long runs.
#include "textdoc/exacttext.h"

#include "fuzz_support.h"
#include "positionsmodel.h"

#include <cstddef>
#include <cstdint>

namespace
{

// Short runs, so that short inputs reach the long-run count.
constexpr qsizetype kLongestRun = 3;

QString TakeText(const std::uint8_t *data, std::size_t size, std::size_t &pos)
{
    return QString::fromStdU16String(TakeUnits(data, size, pos, 0));
}

void Check(const ExactText &text, const PositionsModel &model)
{
    const QString expected = model.text();
    Require(text.size() == expected.size() && text.mid(0, text.size()) == expected, "the same units");
    Require(text.positions() == model.positions.size(), "the same number of positions");
    qsizetype offset = 0;
    for (qsizetype p = 0; p <= model.positions.size(); ++p) {
        Require(text.toExact(p) == offset, "a position maps to the offset of its units");
        if (p == model.positions.size())
            break;
        const QString &units = model.positions[p];
        Require(text.toPosition(offset, false) == p && text.toPosition(offset, true) == p,
            "an offset at a position's start maps back to it");
        if (units.size() == 2) {
            Require(text.toPosition(offset + 1, false) == p && text.toPosition(offset + 1, true) == p + 1,
                "an offset inside a CR LF maps to its edges");
        }
        const bool shownAsBreak = text.shownAt(p) == QChar(QChar::ParagraphSeparator);
        const char16_t first = units.at(0).unicode();
        Require(shownAsBreak
                == (first == u'\r' || first == u'\n' || first == 0x2029 || first == 0xfdd0
                    || first == 0xfdd1),
            "a break shows as a paragraph separator");
        offset += units.size();
    }
    Require(text.longRuns() == model.longRuns(kLongestRun), "the same number of long runs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ExactText text(kLongestRun);
    PositionsModel model;
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t op = data[pos++];
        if (op % 8 == 0) {
            const QString written = TakeText(data, size, pos);
            text.assign(written);
            model.positions = PositionsModel::Split(written);
        } else if (op % 8 == 1) {
            // Closing the gap for text() must leave the model as it was.
            Require(text.text() == model.text(), "text() gives the units");
        } else {
            if (pos + 2 > size)
                break;
            const qsizetype positions = model.positions.size();
            const qsizetype from = data[pos++] % (positions + 1);
            const qsizetype removed = data[pos++] % (positions - from + 1);
            const QString added = TakeText(data, size, pos);
            const QString removedText = text.replace(from, removed, added);
            Require(removedText == model.positions.mid(from, removed).join(QString()),
                "replace gives back the removed units");
            model.replace(from, removed, added);
        }
        Check(text, model);
    }
    return 0;
}
