// The dialogs' layouts: every text whole in German at a larger font, the main window's
// arrangement when it grows, Tab in reading order, and a focus mark that can be seen on the
// default button.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>

#include "AppFixture.h"
#include "AppTest.h"
#include "app/DlgJobControl.h"
#include "lang/LanguageManager.h"
#include "platform/SystemLanguage.h"
#include "settings/SettingsSet.h"
#include "ui/ListViewEx.h"

namespace {

template <class T>
T* Control(QWidget& root, int id) {
    return root.findChild<T*>(QStringLiteral("ctl%1").arg(id));
}

QRect InWindow(const QWidget& widget) {
    return QRect(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
}

// Every label, button, group box and combo box of root that is shown narrower or lower than
// its text needs, or reaches out of its parent: "ctl1061 (QCheckBox) 250x20 < 310x20".
QStringList CutTexts(const QWidget& root) {
    QStringList cut;
    for (const QWidget* widget : root.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&root) || widget->window() != root.window()) continue;
        QSize needed;
        if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
            qobject_cast<const QComboBox*>(widget)) {
            needed = widget->sizeHint();
            // A label that wraps its words needs only the height of its lines at its width.
            const auto* label = qobject_cast<const QLabel*>(widget);
            if (label && label->wordWrap()) needed = {0, label->heightForWidth(label->width())};
        } else if (qobject_cast<const QGroupBox*>(widget)) {
            needed = widget->minimumSizeHint();
        } else {
            continue;
        }
        const QString name =
            widget->objectName() + QStringLiteral(" (%1)").arg(widget->metaObject()->className());
        if (widget->width() < needed.width() || widget->height() < needed.height()) {
            cut << name + QStringLiteral(" %1x%2 < %3x%4")
                              .arg(widget->width())
                              .arg(widget->height())
                              .arg(needed.width())
                              .arg(needed.height());
        }
        if (!widget->parentWidget()->rect().contains(widget->geometry())) {
            cut << name + QStringLiteral(" outside its parent");
        }
    }
    return cut;
}

// The widgets Tab visits from first until it comes back to it (at most limit of them).
QList<QWidget*> TabChain(QWidget* first, int limit = 40) {
    first->setFocus(Qt::TabFocusReason);
    QList<QWidget*> chain{first};
    for (int i = 0; i < limit; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == first) break;
        chain << now;
    }
    return chain;
}

// Where Tab goes against reading order (top to bottom, left to right within a row): the pairs
// "a -> b" where b starts above a without sitting beside it on the right.
QStringList AgainstReadingOrder(const QList<QWidget*>& chain) {
    QStringList wrong;
    for (int i = 1; i < chain.size(); ++i) {
        const QRect a = InWindow(*chain[i - 1]);
        const QRect b = InWindow(*chain[i]);
        const bool below = b.top() >= a.top();
        const bool besideRight = b.left() >= a.right() && b.top() <= a.bottom() &&
                                 b.bottom() >= a.top();
        if (!below && !besideRight) {
            wrong << chain[i - 1]->objectName() + QStringLiteral(" -> ") + chain[i]->objectName();
        }
    }
    return wrong;
}

QStringList Names(const QList<QWidget*>& widgets) {
    QStringList names;
    for (const QWidget* widget : widgets) names << widget->objectName();
    return names;
}

void SelectLanguage(const char* locale) {
    setenv("LANG", locale, 1);
    QVERIFY(SelectStartupLanguage(GetLanguageManager(), platform::SystemLanguageId()));
}

// Pixels of the palette's highlight colour in image.
int HighlightPixels(const QImage& image, const QColor& highlight) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == highlight;
    }
    return count;
}

}  // namespace

class CLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_font = QApplication::font();
        m_fixture = std::make_unique<CAppFixture>();
    }
    void cleanup() {
        SelectLanguage("C");
        m_fixture.reset();
        QApplication::setFont(m_font);
    }

    void GermanTextsAtALargerFontAreWholeInEveryDialog() {
        SelectLanguage("de_DE.UTF-8");
        QFont larger = m_font;
        larger.setPointSizeF(m_font.pointSizeF() * 1.6);
        QApplication::setFont(larger);
        auto window = m_fixture->OpenWindow();
        QCOMPARE(Control<QPushButton>(*window, 1017)->text(),
                 QString::fromStdString(GetLanguageManager().GetString(108)));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QStringList cut = CutTexts(*window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));

        // Every Options page, each as it is first shown.
        window->GetSettings()->OptionsInitialPage = 0;
        QStringList pages;
        WhenModalOpens([&](QWidget* dialog) {
            auto* tree = Control<QTreeWidget>(*dialog, 1020);
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                tree->setCurrentItem(tree->topLevelItem(i));
                dialog->layout()->activate();
                pages << tree->topLevelItem(i)->text(0);
                cut << CutTexts(*dialog);
            }
            // The tree shows its titles whole.
            const QAbstractItemView* view = tree;
            if (view->sizeHintForColumn(0) > tree->viewport()->width()) cut << "ctl1020";
            Control<QPushButton>(*dialog, 2)->click();
        });
        window->OnOptions();
        QCOMPARE(pages.size(), 5);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));

        CDlgJobControl jobs(window->GetSettings(), &GetLanguageManager(), window->GetCore(),
                            window.get());
        jobs.adjustSize();
        jobs.layout()->activate();
        cut = CutTexts(jobs);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    void TheMainWindowGrowsInItsListAndCommandLines() {
        auto window = m_fixture->OpenWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const int listId = 1000;
        const int rightColumn[] = {1007, 1019, 1004, 1008, 1005, 1016, 1017, 1055, 1039};
        const int lines[] = {1012, 1010, 1011, 1009};
        auto rect = [&](int id) { return InWindow(*Control<QWidget>(*window, id)); };
        const QRect list = rect(listId);
        const QRect start = rect(1003);
        QMap<int, QRect> before;
        for (int id : rightColumn) before[id] = rect(id);
        for (int id : lines) before[id] = rect(id);
        // The template's places: the column right of the list, Start below it at the left,
        // the command lines right of Start.
        for (int id : rightColumn) QVERIFY(before[id].left() > list.right());
        QVERIFY(start.top() > list.bottom());
        QVERIFY(start.left() <= list.left());
        for (int id : lines) QVERIFY(before[id].left() > start.right());
        QVERIFY(before[1010].top() > before[1012].top());
        QVERIFY(before[1011].top() > before[1010].top());
        QVERIFY(before[1009].top() > before[1011].top());

        const QSize grow(200, 120);
        window->resize(window->size() + grow);
        window->layout()->activate();
        QCOMPARE(rect(listId).size(), list.size() + grow);
        for (int id : rightColumn) {
            // The column keeps its place at the top right; only the coder information list
            // takes more height.
            QCOMPARE(rect(id).topLeft(), before[id].topLeft() + QPoint(grow.width(), 0));
            QCOMPARE(rect(id).width(), before[id].width());
        }
        QCOMPARE(rect(1039).height(), before[1039].height() + grow.height());
        QCOMPARE(rect(1003).topLeft(), start.topLeft() + QPoint(0, grow.height()));
        QCOMPARE(rect(1003).size(), start.size());
        for (int id : lines) {
            QCOMPARE(rect(id).topLeft(), before[id].topLeft() + QPoint(0, grow.height()));
            QCOMPARE(rect(id).width(), before[id].width() + grow.width());
        }
    }

    void TabFollowsReadingOrder() {
        auto window = m_fixture->OpenWindow();
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const QList<QWidget*> chain = TabChain(window->GetFileListView());
        QCOMPARE(Names(chain), QStringList({"ctl1000", "ctl1019", "ctl1004", "ctl1005", "ctl1016",
                                            "ctl1017", "ctl1039", "ctl1003", "ctl1010",
                                            "ctl1009"}));
        const QStringList wrong = AgainstReadingOrder(chain);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));

        // The Options dialog: the page tree, then the page's controls, then OK and Cancel. (Tab
        // goes into a group of radio buttons at its first.)
        CSettingsSet& settings = *window->GetSettings();
        settings.General.OutputFolderSameAsOriginal = 0;
        settings.General.ExistingOutput = 1;
        settings.General.FullCheck = 2;
        const std::pair<int, QStringList> pages[] = {
            {0, {"ctl1020", "ctl1031", "ctl1032", "ctl1046", "ctl1045", "ctl1043", "ctl1044",
                 "ctl1", "ctl2"}},
            {1, {"ctl1020", "ctl1032", "ctl1033", "ctl1", "ctl2"}},
            {4, {"ctl1020", "ctl1060", "ctl1061", "ctl1078", "ctl1063", "ctl1067", "ctl1074",
                 "ctl1076", "ctl1071", "ctl1", "ctl2"}}};
        for (const auto& [page, expected] : pages) {
            settings.OptionsInitialPage = page;
            // Read while the dialog is open: its pages go with it.
            QStringList options, against;
            WhenModalOpens([&](QWidget* dialog) {
                QApplication::setActiveWindow(dialog);
                const QList<QWidget*> chain = TabChain(Control<QWidget>(*dialog, 1020));
                options = Names(chain);
                against = AgainstReadingOrder(chain);
                Control<QPushButton>(*dialog, 2)->click();
            });
            window->OnOptions();
            QCOMPARE(options, expected);
            QVERIFY2(against.isEmpty(), qPrintable(against.join(QStringLiteral("; "))));
        }

        CDlgJobControl jobs(window->GetSettings(), &GetLanguageManager(), window->GetCore(),
                            window.get());
        jobs.adjustSize();
        jobs.layout()->activate();
        // The job window is not shown (it would close at once without a run): its chain as
        // Tab would walk it.
        QList<QWidget*> jobsChain;
        QWidget* priority = Control<QWidget>(jobs, 1032);
        for (QWidget* widget = priority; jobsChain.size() < 3; widget = widget->nextInFocusChain()) {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&jobs) &&
                widget->isEnabled() && !widget->focusProxy()) {
                jobsChain << widget;
            }
        }
        QCOMPARE(Names(jobsChain), QStringList({"ctl1032", "ctl1038", "ctl1039"}));
        QVERIFY(AgainstReadingOrder(jobsChain).isEmpty());
    }

    void KeyboardFocusOnStartIsSeen() {
        auto window = m_fixture->OpenWindow();
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* start = Control<QPushButton>(*window, 1003);
        QVERIFY(start->isDefault());
        const QColor highlight = start->palette().color(QPalette::Highlight);
        // The focus comes by Tab, from the list above Start, and leaves it for the command line.
        Control<QWidget>(*window, 1039)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(start->hasFocus());
        const int with = HighlightPixels(start->grab().toImage(), highlight);
        QTest::keyClick(start, Qt::Key_Tab);
        QVERIFY(!start->hasFocus());
        const int without = HighlightPixels(start->grab().toImage(), highlight);
        // A ring around the text: at least the button's outline in length.
        QVERIFY2(with - without >= start->width() + start->height(),
                 qPrintable(QStringLiteral("%1 -> %2").arg(without).arg(with)));

        // The same on a list: its current cell, not selected.
        window->OnDrop({m_fixture->MakeAudio("a.wav")});
        CListViewEx* list = window->GetFileListView();
        list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
        Control<QWidget>(*window, 1009)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        const int listWith = HighlightPixels(list->grab().toImage(), highlight);
        QTest::keyClick(list, Qt::Key_Tab);
        const int listWithout = HighlightPixels(list->grab().toImage(), highlight);
        QVERIFY2(listWith - listWithout >= list->columnWidth(0),
                 qPrintable(QStringLiteral("%1 -> %2").arg(listWithout).arg(listWith)));
    }

private:
    std::unique_ptr<CAppFixture> m_fixture;
    QFont m_font;
};

static RegisterAppTest<CLayoutTest> registered;

#include "LayoutTest.moc"
