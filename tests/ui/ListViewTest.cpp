// The list views shared by the program and its plug-ins.
#include <QHeaderView>
#include <QLocale>
#include <QTest>

#include "../app/AppTest.h"
#include "ui/ListModel.h"
#include "ui/SortListViewEx.h"

namespace {

// The locale texts are compared in, for the object's life.
class CDefaultLocale {
public:
    explicit CDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~CDefaultLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

}  // namespace

class CListViewTest : public QObject {
    Q_OBJECT
private slots:
    void AddItemInsertsRowsAndSetsOnlyExistingCells() {
        CSortListViewEx list;
        list.InsertColumn(0, QStringLiteral("A"));
        list.InsertColumn(1, QStringLiteral("B"));
        QCOMPARE(list.AddItem(0, 0, QStringLiteral("second")), 0);
        QCOMPARE(list.AddItem(0, 0, QStringLiteral("first")), 0);
        QCOMPARE(list.AddItem(1, 1, QStringLiteral("cell")), 1);
        QCOMPARE(list.AddItem(5, 1, QStringLiteral("none")), -1);
        QCOMPARE(list.GetItemText(1, 0), QStringLiteral("second"));
        QCOMPARE(list.GetItemText(1, 1), QStringLiteral("cell"));
        QCOMPARE(list.GetSelectedIndex(), -1);
        list.selectRow(0);
        QCOMPARE(list.GetSelectedIndex(), 0);
    }

    void HeaderClicksSortAscendingThenDescendingThenAscendingOnANewColumn() {
        CSortListViewEx list;
        for (int c = 0; c < 3; ++c) list.InsertColumn(c, QStringLiteral("C%1").arg(c));
        // "A" before "a": sorting without regard to case would leave them so.
        const QStringList texts = {"b", "C", "A", "a", "B"};
        for (int r = 0; r < texts.size(); ++r) {
            list.AddItem(r, 0, QString::number(r));
            list.AddItem(r, 2, texts[r]);
        }
        auto column = [&list](int c) {
            QString order;
            for (int r = 0; r < list.GetItemCount(); ++r) order += list.GetItemText(r, c);
            return order;
        };
        QList<int> changes;
        connect(&list, &CSortListViewEx::SortChanged, this,
                [&](int newColumn, int) { changes << newColumn; });
        QHeaderView* header = list.horizontalHeader();
        {
            // Case-sensitive in the user's language: a lower-case letter before its capital.
            const CDefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
            emit header->sectionClicked(2);
            QVERIFY(!list.IsSortDescending());
            QCOMPARE(column(2), QStringLiteral("aAbBC"));
            emit header->sectionClicked(2);
            QVERIFY(list.IsSortDescending());
            QCOMPARE(column(2), QStringLiteral("CBbAa"));
        }
        emit header->sectionClicked(0);
        QCOMPARE(list.GetSortColumn(), 0);
        QVERIFY(!list.IsSortDescending());
        QCOMPARE(column(0), QStringLiteral("01234"));
        QCOMPARE(column(2), QStringLiteral("bCAaB"));
        QCOMPARE(changes, (QList<int>{2, 2, 0}));
        // The C locale orders by character code: every capital first.
        const CDefaultLocale c(QLocale::c());
        emit header->sectionClicked(2);
        QCOMPARE(column(2), QStringLiteral("ABCab"));
    }

    void OnlyTheFirst31CharactersCompare() {
        CSortListViewEx list;
        list.InsertColumn(0, QStringLiteral("Name"));
        const QString common(31, QLatin1Char('x'));
        list.AddItem(0, 0, common + QStringLiteral("b"));
        list.AddItem(1, 0, common + QStringLiteral("a"));
        list.AddItem(2, 0, QStringLiteral("a"));
        QVERIFY(list.SortItems(0, false));
        QCOMPARE(list.GetItemText(0, 0), QStringLiteral("a"));
        // Equal keys keep their order.
        QCOMPARE(list.GetItemText(1, 0), common + QStringLiteral("b"));
        // Inserting a column before the sorted one moves the mark with it.
        list.InsertColumn(0, QStringLiteral("New"));
        QCOMPARE(list.GetSortColumn(), 1);
        list.DeleteColumn(1);
        QCOMPARE(list.GetSortColumn(), -1);
    }

    void AutosizeTakesTheWiderOfHeaderAndCells() {
        CListViewEx list;
        list.InsertColumn(0, QStringLiteral("A very long header text indeed"));
        list.InsertColumn(1, QStringLiteral("B"));
        list.InsertColumn(2, QString());
        list.AddItem(0, 0, QStringLiteral("x"));
        list.AddItem(0, 1, QStringLiteral("a cell much wider than its header B"));
        list.AutosizeColumns();
        const QFontMetrics metrics = list.fontMetrics();
        QVERIFY(list.columnWidth(0) >= list.horizontalHeader()->fontMetrics().horizontalAdvance(
                                           QStringLiteral("A very long header text indeed")));
        QVERIFY(list.columnWidth(1) >=
                metrics.horizontalAdvance(QStringLiteral("a cell much wider than its header B")));
        QVERIFY(list.columnWidth(2) >= 5);
    }
};

static RegisterAppTest<CListViewTest> registered;

#include "ListViewTest.moc"
