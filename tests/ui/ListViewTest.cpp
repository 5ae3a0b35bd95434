// The list views shared by the program and its plug-ins.
#include <QHeaderView>
#include <QTest>

#include "../app/AppTest.h"
#include "ui/ListModel.h"
#include "ui/SortListViewEx.h"

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
        const QStringList texts = {"b", "C", "a"};
        for (int r = 0; r < 3; ++r) {
            list.AddItem(r, 0, QString::number(r));
            list.AddItem(r, 2, texts[r]);
        }
        QList<int> changes;
        connect(&list, &CSortListViewEx::SortChanged, this,
                [&](int newColumn, int) { changes << newColumn; });
        QHeaderView* header = list.horizontalHeader();
        emit header->sectionClicked(2);
        QVERIFY(!list.IsSortDescending());
        const QString ascending =
            list.GetItemText(0, 2) + list.GetItemText(1, 2) + list.GetItemText(2, 2);
        emit header->sectionClicked(2);
        QVERIFY(list.IsSortDescending());
        const QString descending =
            list.GetItemText(2, 2) + list.GetItemText(1, 2) + list.GetItemText(0, 2);
        QCOMPARE(descending, ascending);
        QVERIFY(ascending != QStringLiteral("bCa"));
        emit header->sectionClicked(0);
        QCOMPARE(list.GetSortColumn(), 0);
        QVERIFY(!list.IsSortDescending());
        QCOMPARE(list.GetItemText(0, 0), QStringLiteral("0"));
        QCOMPARE(changes, (QList<int>{2, 2, 0}));
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
