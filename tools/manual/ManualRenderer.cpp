#include "ManualRenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>

#include "ManualDocument.h"

using manual::kHeadFont;
using manual::kResolution;
using manual::Points;
using manual::Q;

namespace {

// The page of the block's first line; a block that moved to the next page keeps its top on
// the page before.
int PageOf(QTextDocument& document, const QTextBlock& block) {
    // Asking for the block's rectangle lays it out.
    double y = document.documentLayout()->blockBoundingRect(block).top();
    const QTextLayout* layout = block.layout();
    if (layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineAt(0);
        y = layout->position().y() + line.y() + line.height() / 2;
    }
    return static_cast<int>(y / document.pageSize().height());
}

// A heading or a picture left alone at the foot of a page, or a short example cut in two,
// moves to the next page.
void KeepTogether(QTextDocument& document, const std::vector<KeepGroup>& keep) {
    for (int round = 0; round < 200; ++round) {
        bool moved = false;
        for (const KeepGroup& group : keep) {
            QTextBlock block = document.findBlock(group.first);
            const QTextBlock last = group.last < 0 ? block.next() : document.findBlock(group.last);
            if (!last.isValid() || PageOf(document, block) == PageOf(document, last)) continue;
            QTextBlockFormat format = block.blockFormat();
            if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
            moved = true;
            break;  // the pages after it have moved
        }
        if (!moved) return;
    }
}

std::vector<int> HeadingPages(QTextDocument& document,
                              const std::vector<ManualHeading>& headings) {
    std::vector<int> pages;
    for (const ManualHeading& heading : headings) {
        pages.push_back(PageOf(document, document.findBlock(heading.position)) + 1);
    }
    return pages;
}

void DrawFooter(QPainter& painter, const QRectF& area, const QString& left, int page) {
    painter.save();
    QFont font(kHeadFont);
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawLine(QLineF(area.left(), area.top(), area.right(), area.top()));
    const QRectF text = area.adjusted(0, Points(3), 0, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, left);
    painter.drawText(text, Qt::AlignRight | Qt::AlignTop, QString::number(page));
    painter.restore();
}

}  // namespace

bool RenderManual(const ManualSource& source, const ManualRenderOptions& options,
                  std::string& error) {
    QPdfWriter writer(Q(options.output));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(22, 20, 22, 14), QPageLayout::Millimeter));
    writer.setTitle(Q(source.title));
    writer.setCreator(QStringLiteral("kelto_manual"));
    const QRectF paper = writer.pageLayout().paintRectPixels(kResolution);
    const double footer = Points(22);
    const QSizeF page(paper.width(), paper.height() - footer);

    QTextDocument document;
    CManualBuilder builder(source, options, writer, page);
    std::vector<int> pages;
    // The contents' numbers come from a layout of the whole; twice more settles them.
    for (int pass = 0; pass < 3; ++pass) {
        if (!builder.Build(document, pages, error)) return false;
        KeepTogether(document, builder.KeepGroups());
        const std::vector<int> found = HeadingPages(document, builder.Headings());
        if (found == pages) break;
        pages = found;
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        error = options.output + " cannot be written";
        return false;
    }
    const int count = document.pageCount();
    const QString footerText = Q(source.title) + QLatin1Char(' ') + Q(options.version);
    for (int i = 0; i < count; ++i) {
        if (i > 0) writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        // A line that starts right at the next page's top would count as this page's too.
        document.drawContents(&painter,
                              QRectF(0, i * page.height(), page.width(), page.height() - 1));
        painter.restore();
        if (i > 0) {
            DrawFooter(painter, QRectF(0, page.height() + Points(8), page.width(), footer),
                       footerText, i + 1);
        }
    }
    painter.end();
    return true;
}
