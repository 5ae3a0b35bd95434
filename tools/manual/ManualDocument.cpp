#include "ManualDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

using manual::Points;
using manual::Q;
using manual::kHeadFont;
using manual::kResolution;

namespace {

const QString kBodyFont = QStringLiteral("DejaVu Serif");
const QString kCodeFont = QStringLiteral("DejaVu Sans Mono");

QTextCharFormat Font(const QString& family, double pt, bool bold = false) {
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(pt);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

// Appends text, with `code` in the fixed font and **bold** in bold.
void AppendInline(QTextCursor& cursor, const QString& text, const QTextCharFormat& base) {
    QTextCharFormat code = base;
    code.setFontFamilies({kCodeFont});
    code.setFontPointSize(base.fontPointSize() * 0.9);
    QString run;
    bool inCode = false;
    bool inBold = false;
    const auto flush = [&] {
        if (run.isEmpty()) return;
        QTextCharFormat format = inCode ? code : base;
        if (inBold) format.setFontWeight(QFont::Bold);
        cursor.insertText(run, format);
        run.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('`')) {
            flush();
            inCode = !inCode;
        } else if (!inCode && text.mid(i, 2) == QLatin1String("**")) {
            flush();
            inBold = !inBold;
            ++i;
        } else {
            run += text[i];
        }
    }
    flush();
}

}  // namespace

void CManualBuilder::NewBlock(const QTextBlockFormat& format, const QTextCharFormat& chars) {
    if (m_first) {
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(chars);
        m_cursor.setCharFormat(chars);
        m_first = false;
    } else {
        m_cursor.insertBlock(format, chars);
    }
    m_list = nullptr;
}

void CManualBuilder::NumberHeadings() {
    m_headings.clear();
    int chapter = 0;
    int section = 0;
    for (const ManualBlock& block : m_source.blocks) {
        if (block.kind != ManualBlock::Kind::Heading) continue;
        ManualHeading heading;
        heading.level = block.level;
        heading.title = Q(block.text);
        if (block.level == 1) {
            heading.number = QString::number(++chapter);
            section = 0;
        } else if (block.level == 2) {
            heading.number = QStringLiteral("%1.%2").arg(chapter).arg(++section);
        }
        m_headings.push_back(heading);
    }
}

void CManualBuilder::TitlePage(std::size_t& at, std::string& error, bool& ok) {
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextBlockFormat top = centred;
    top.setTopMargin(m_page.height() * 0.22);
    NewBlock(top, Font(kHeadFont, 30, true));
    m_cursor.insertText(Q(m_source.title));
    if (!m_source.subtitle.empty()) {
        QTextBlockFormat below = centred;
        below.setTopMargin(Points(14));
        NewBlock(below, Font(kHeadFont, 14));
        m_cursor.insertText(Q(m_source.subtitle));
    }
    QTextBlockFormat version = centred;
    version.setTopMargin(Points(28));
    NewBlock(version, Font(kHeadFont, 12));
    m_cursor.insertText(QStringLiteral("Version ") + Q(m_options.version));
    // What comes before the first heading belongs to the title page.
    for (; at < m_source.blocks.size(); ++at) {
        const ManualBlock& block = m_source.blocks[at];
        if (block.kind == ManualBlock::Kind::Heading) break;
        if (block.kind == ManualBlock::Kind::Picture) {
            if (!AddPicture(block, true, error)) {
                ok = false;
                return;
            }
        } else {
            QTextBlockFormat line = centred;
            line.setTopMargin(Points(10));
            NewBlock(line, Font(kBodyFont, 10.5));
            AppendInline(m_cursor, Q(block.text), Font(kBodyFont, 10.5));
        }
    }
    if (!m_source.author.empty()) {
        QTextBlockFormat author = centred;
        author.setTopMargin(Points(40));
        NewBlock(author, Font(kHeadFont, 11));
        m_cursor.insertText(Q(m_source.author));
    }
}

void CManualBuilder::Contents(const std::vector<int>& pages) {
    QTextBlockFormat head;
    head.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    head.setBottomMargin(Points(16));
    NewBlock(head, Font(kHeadFont, 20, true));
    m_cursor.insertText(QStringLiteral("Contents"));
    // Tab positions are scaled as pictures are (see AddPicture).
    const double width = m_page.width() * 96.0 / m_device.logicalDpiX();
    for (std::size_t i = 0; i < m_headings.size(); ++i) {
        const ManualHeading& heading = m_headings[i];
        if (heading.level > 2) continue;
        // The tab stop counts from the entry's indent.
        const double indent = heading.level == 1 ? 0 : Points(18);
        QTextBlockFormat entry;
        entry.setTabPositions({QTextOption::Tab(width - indent * 96.0 / m_device.logicalDpiX(),
                                                QTextOption::RightTab)});
        entry.setLeftMargin(indent);
        entry.setTopMargin(heading.level == 1 ? Points(7) : Points(1));
        const QTextCharFormat chars = heading.level == 1 ? Font(kHeadFont, 10.5, true)
                                                         : Font(kBodyFont, 10);
        NewBlock(entry, chars);
        const int page = i < pages.size() ? pages[i] : 0;
        m_cursor.insertText(heading.number + QStringLiteral("  ") + heading.title +
                            QLatin1Char('\t') + QString::number(page));
    }
}

void CManualBuilder::AddHeading(const ManualBlock& block, const ManualHeading& heading) {
    static const double kSizes[] = {20, 14, 11.5};
    QTextBlockFormat format;
    if (block.level == 1) {
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        format.setBottomMargin(Points(12));
    } else {
        format.setTopMargin(Points(block.level == 2 ? 16 : 11));
        format.setBottomMargin(Points(5));
    }
    NewBlock(format, Font(kHeadFont, kSizes[block.level - 1], true));
    const QString number = heading.number.isEmpty() ? QString() : heading.number + "  ";
    m_cursor.insertText(number + heading.title);
    m_keep.push_back({m_cursor.block().position(), -1});
    m_headings[static_cast<std::size_t>(&heading - m_headings.data())].position =
        m_cursor.block().position();
}

void CManualBuilder::AddParagraph(const QString& text) {
    QTextBlockFormat format;
    format.setBottomMargin(Points(6));
    format.setAlignment(Qt::AlignJustify);
    NewBlock(format, Font(kBodyFont, 10));
    AppendInline(m_cursor, text, Font(kBodyFont, 10));
}

void CManualBuilder::AddBullet(const QString& text) {
    QTextBlockFormat format;
    format.setBottomMargin(Points(3));
    QTextList* list = m_list;
    NewBlock(format, Font(kBodyFont, 10));
    if (list) {
        list->add(m_cursor.block());
    } else {
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(1);
        list = m_cursor.createList(bullets);
    }
    m_list = list;
    AppendInline(m_cursor, text, Font(kBodyFont, 10));
}

void CManualBuilder::AddCode(const QString& text) {
    QTextBlockFormat format;
    format.setBackground(QColor(0xf0, 0xf0, 0xf0));
    format.setLeftMargin(Points(12));
    format.setTopMargin(Points(2));
    format.setBottomMargin(Points(8));
    const QTextCharFormat chars = Font(kCodeFont, 8.5);
    const QStringList lines = text.split(QLatin1Char('\n'));
    KeepGroup group;
    for (const QString& line : lines) {
        NewBlock(format, chars);
        format.setTopMargin(0);
        m_cursor.insertText(line.isEmpty() ? QStringLiteral(" ") : line, chars);
        if (&line != &lines.back()) {
            // The lines of one example stay apart only by their breaks.
            QTextBlockFormat tight = format;
            tight.setBottomMargin(0);
            m_cursor.setBlockFormat(tight);
        }
        if (&line == &lines.front()) group.first = m_cursor.block().position();
    }
    // An example is read whole; one longer than half a page may break.
    group.last = m_cursor.block().position();
    if (lines.size() <= 30) m_keep.push_back(group);
}

void CManualBuilder::AddTable(const ManualBlock& block) {
    NewBlock(QTextBlockFormat(), Font(kBodyFont, 9));
    QTextTableFormat format;
    format.setBorder(Points(0.5));
    format.setBorderBrush(QColor(0x90, 0x90, 0x90));
    format.setBorderCollapse(true);
    format.setCellPadding(Points(2));
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setHeaderRowCount(1);
    format.setBottomMargin(Points(8));
    const int columns = static_cast<int>(block.rows.front().size());
    QTextTable* table = m_cursor.insertTable(static_cast<int>(block.rows.size()), columns, format);
    for (std::size_t r = 0; r < block.rows.size(); ++r) {
        for (int c = 0; c < columns; ++c) {
            QTextTableCell cell = table->cellAt(static_cast<int>(r), c);
            if (r == 0) {
                QTextCharFormat shade = cell.format();
                shade.setBackground(QColor(0xe4, 0xe4, 0xe4));
                cell.setFormat(shade);
            }
            QTextCursor in = cell.firstCursorPosition();
            AppendInline(in, Q(block.rows[r][static_cast<std::size_t>(c)]),
                         Font(kBodyFont, 9, r == 0));
        }
    }
    m_cursor.movePosition(QTextCursor::End);
}

bool CManualBuilder::AddPicture(const ManualBlock& block, bool titlePage, std::string& error) {
    QImage image;
    QString found;
    for (const std::string& dir : m_options.imageDirs) {
        const QString path = Q(dir) + QLatin1Char('/') + Q(block.file);
        if (QFile::exists(path)) {
            found = path;
            break;
        }
    }
    if (found.isEmpty() || !image.load(found)) {
        error = "line " + std::to_string(block.line) + ": picture " + block.file +
                (found.isEmpty() ? " is in none of the picture folders" : " cannot be read");
        return false;
    }
    const QString name = QStringLiteral("picture:") + Q(block.file);
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    // A screen pixel is set at about 1/110 inch, never wider than the text nor taller than
    // half a page (a third on the title page).
    double width = image.width() * kResolution / 110.0;
    width = std::min(width, m_page.width());
    double height = width * image.height() / image.width();
    const double tallest = m_page.height() * (titlePage ? 0.33 : 0.5);
    if (height > tallest) {
        width *= tallest / height;
        height = tallest;
    }
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignHCenter);
    format.setTopMargin(Points(titlePage ? 30 : 6));
    format.setBottomMargin(Points(block.text.empty() ? 10 : 3));
    NewBlock(format, Font(kBodyFont, 10));
    // The layout scales an image's size by its paint device's resolution over 96 dpi.
    const double scale = m_device.logicalDpiX() / 96.0;
    QTextImageFormat picture;
    picture.setName(name);
    picture.setWidth(width / scale);
    picture.setHeight(height / scale);
    m_cursor.insertImage(picture);
    if (!block.text.empty()) {
        m_keep.push_back({m_cursor.block().position(), -1});
        QTextBlockFormat caption;
        caption.setAlignment(Qt::AlignHCenter);
        caption.setBottomMargin(Points(12));
        QTextCharFormat chars = Font(kBodyFont, 9);
        chars.setFontItalic(true);
        NewBlock(caption, chars);
        AppendInline(m_cursor, Q(block.text), chars);
    }
    return true;
}

bool CManualBuilder::Build(QTextDocument& document, const std::vector<int>& pages,
                           std::string& error) {
    m_document = &document;
    document.clear();
    document.documentLayout()->setPaintDevice(&m_device);
    document.setPageSize(m_page);
    document.setDocumentMargin(0);
    m_cursor = QTextCursor(&document);
    m_first = true;
    m_keep.clear();
    NumberHeadings();
    std::size_t at = 0;
    bool ok = true;
    TitlePage(at, error, ok);
    if (!ok) return false;
    Contents(pages);
    std::size_t heading = 0;
    for (; at < m_source.blocks.size(); ++at) {
        const ManualBlock& block = m_source.blocks[at];
        switch (block.kind) {
            case ManualBlock::Kind::Heading:
                AddHeading(block, m_headings[heading++]);
                break;
            case ManualBlock::Kind::Paragraph:
                AddParagraph(Q(block.text));
                break;
            case ManualBlock::Kind::Bullet:
                AddBullet(Q(block.text));
                break;
            case ManualBlock::Kind::Code:
                AddCode(Q(block.text));
                break;
            case ManualBlock::Kind::Table:
                AddTable(block);
                break;
            case ManualBlock::Kind::Picture:
                if (!AddPicture(block, false, error)) return false;
                break;
        }
    }
    return true;
}
