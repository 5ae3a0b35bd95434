#pragma once

#include <QSizeF>
#include <QString>
#include <QTextCursor>
#include <string>
#include <vector>

#include "ManualRenderer.h"
#include "ManualSource.h"

class QPaintDevice;
class QTextDocument;
class QTextList;

namespace manual {

constexpr int kResolution = 300;  // dots per inch of the PDF's layout
inline double Points(double pt) { return pt * kResolution / 72.0; }
inline QString Q(const std::string& text) { return QString::fromStdString(text); }
const QString kHeadFont = QStringLiteral("DejaVu Sans");

}  // namespace manual

// Blocks that go on one page: from the block at first to the one at last, or to the block
// after first when last is -1.
struct KeepGroup {
    int first = 0;
    int last = -1;
};

struct ManualHeading {
    int level = 0;
    QString number;  // "2", "2.3"; empty for level 3
    QString title;
    int position = 0;  // of its block in the document
};

// Builds the manual's QTextDocument from its source, laid out on pages of the given size in
// the units of device.
class CManualBuilder {
public:
    CManualBuilder(const ManualSource& source, const ManualRenderOptions& options,
                   QPaintDevice& device, QSizeF page)
        : m_source(source), m_options(options), m_device(device), m_page(page) {}

    // Builds the document; pages holds each heading's page for the contents (empty: zeros).
    bool Build(QTextDocument& document, const std::vector<int>& pages, std::string& error);

    const std::vector<ManualHeading>& Headings() const { return m_headings; }
    const std::vector<KeepGroup>& KeepGroups() const { return m_keep; }

private:
    void NewBlock(const QTextBlockFormat& format, const QTextCharFormat& chars);
    void TitlePage(std::size_t& at, std::string& error, bool& ok);
    void Contents(const std::vector<int>& pages);
    void AddHeading(const ManualBlock& block, const ManualHeading& heading);
    void AddParagraph(const QString& text);
    void AddBullet(const QString& text);
    void AddCode(const QString& text);
    void AddTable(const ManualBlock& block);
    bool AddPicture(const ManualBlock& block, bool titlePage, std::string& error);
    void NumberHeadings();

    const ManualSource& m_source;
    const ManualRenderOptions& m_options;
    QPaintDevice& m_device;
    QSizeF m_page;
    QTextDocument* m_document = nullptr;
    QTextCursor m_cursor;
    bool m_first = true;  // the document's first block is there already
    QTextList* m_list = nullptr;
    std::vector<ManualHeading> m_headings;
    std::vector<KeepGroup> m_keep;
};
