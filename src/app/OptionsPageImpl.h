#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "app/OptionsPage.h"
#include "ui/DialogLayout.h"
#include "ui/DlgLanguageImpl.h"

class QLabel;
class QVBoxLayout;

// What the pages of the Options dialog share: the window made on Create, its title from the
// language, the settings set, and Apply only once the window exists. A page builds its controls
// in OnInitPage, laid out as its template arranges them (mostly a frame holding a column of
// controls), and writes them back in OnApply.
class COptionsPageImpl : public COptionsPage, public CDlgLanguageImpl {
public:
    COptionsPageImpl(int templateId, int titleId, const CLanguageManager* language);
    ~COptionsPageImpl() override;

    void Apply() final;
    void Cancel() override {}
    void OnCreated() override {}
    std::string GetTitle() const override;
    void Create(QWidget* parent, QWidget* insertAfter) final;
    void Destroy() final;
    void Show(bool show) final;
    void SetSettings(CSettingsSet* settings) final { m_settings = settings; }
    QWidget* GetWindow() const final { return m_window; }

protected:
    virtual void OnInitPage(QWidget& page) = 0;
    virtual void OnApply() = 0;

    CSettingsSet* GetSettings() const { return m_settings; }
    // The page's frame, a group box with the text of textId (id 1049), at the page's top; its
    // controls go into the column returned. Unless fillsPage, the room below the frame stays
    // empty.
    QVBoxLayout* AddFrame(QWidget& page, std::uint32_t textId, bool fillsPage = false);
    // Adds label and, below it, control to column; the label is the control's buddy.
    static void AddLabelled(QVBoxLayout& column, QLabel* label, QWidget* control,
                            Qt::Alignment alignment = {});
    // How far a control below a check box or radio button is indented to line up with its text.
    static int ButtonIndent(const QWidget& page);

private:
    bool IsPageControl(const QWidget& widget) const;

    const int m_templateId;
    const int m_titleId;
    CSettingsSet* m_settings = nullptr;
    QPointer<QWidget> m_window;
};
