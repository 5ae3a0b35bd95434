#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "app/OptionsPage.h"
#include "ui/DlgLanguageImpl.h"

class CTemplateLayout;

// What the pages of the Options dialog share: the window made from the page's template on
// Create, its title from the language, the settings set, and Apply only once the window exists.
// A page builds its controls in OnInitPage and writes them back in OnApply.
class COptionsPageImpl : public COptionsPage, public CDlgLanguageImpl {
public:
    // Every page template has the size of the dialog's page area, in dialog units.
    static constexpr int kPageWidth = 243;
    static constexpr int kPageHeight = 230;

    COptionsPageImpl(int templateId, int titleId, const CLanguageManager* language);
    ~COptionsPageImpl() override;

    void Apply() final;
    void Cancel() override {}
    void OnCreated() override {}
    std::string GetTitle() const override;
    void Create(QWidget* parent, const QRect& rect, QWidget* insertAfter) final;
    void Destroy() final;
    void Show(bool show) final;
    void SetSettings(CSettingsSet* settings) final { m_settings = settings; }
    QWidget* GetWindow() const final { return m_window; }

protected:
    virtual void OnInitPage(QWidget& page) = 0;
    virtual void OnApply() = 0;

    CSettingsSet* GetSettings() const { return m_settings; }
    // Places control on the page at the template rectangle (dialog units) with its control id.
    template <class TControl>
    TControl* Place(TControl* control, int id, int x, int y, int width, int height) {
        PlaceWidget(control, id, x, y, width, height);
        return control;
    }
    // Dialog units of the page's template to pixels.
    QRect ToPixels(const QRect& units) const;
    // The page's frame, a group box over the whole template, with the text of textId.
    void AddFrame(QWidget& page, std::uint32_t textId, int height);

private:
    void PlaceWidget(QWidget* control, int id, int x, int y, int width, int height);

    const int m_templateId;
    const int m_titleId;
    CSettingsSet* m_settings = nullptr;
    QPointer<QWidget> m_window;
    CTemplateLayout* m_layout = nullptr;
};
