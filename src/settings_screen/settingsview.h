#pragma once

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class AppearanceTab;
class CaptureShield;
class Dialogs;
class GeneralTab;
class GlobalHotkeyManager;
class NotchPreviewControlling;
class NotchSettings;
class QAbstractButton;
class QStackedWidget;
class SettingsScreenController;
class SettingsWindow;

enum class SettingsTab { general, appearance, howItWorks };

// What the settings screen needs from the application.
struct SettingsScreenServices
{
    Dialogs *dialogs = nullptr;
    // Its registration is dropped by the reset; none, and only the stored key is cleared.
    GlobalHotkeyManager *hotkeyManager = nullptr;
    // The window system's when none is given.
    const CaptureShield *captureShield = nullptr;
    // Makes the live preview of the panel; none, and the screen shows no preview.
    std::function<std::unique_ptr<NotchPreviewControlling>()> makePreview;
    // Whether the desktop asks for less motion; the desktop's own switch when none is given.
    std::function<bool()> reduceMotion;
};

// The settings screen, laid over the editor: the tabs on the left, the selected tab's content
// with the footer ("Restablecer todo", "Listo") on the right. Every control writes its setting
// at once. While it is shown it keeps the live preview in step and the main window out of its
// way; done() says that "Listo" has finished closing it.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int sidebarWidth = 190;

    // `services.dialogs` must be given.
    SettingsView(NotchSettings &settings, const SettingsScreenServices &services,
                 QWidget *parent = nullptr);
    ~SettingsView() override;

    SettingsTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(SettingsTab tab);
    // The content page of a tab: the general and appearance tabs in their scroll areas, and the
    // how-it-works page.
    QWidget *tabPage(SettingsTab tab) const;
    QAbstractButton *tabButton(SettingsTab tab) const;
    QAbstractButton *resetButton() const { return m_resetButton; }
    QAbstractButton *doneButton() const { return m_doneButton; }
    GeneralTab *generalTab() const { return m_generalTab; }
    AppearanceTab *appearanceTab() const { return m_appearanceTab; }
    // Puts the how-it-works content into its tab, which stays an empty page until then.
    void setHowItWorksView(QWidget *view);

    SettingsScreenController &controller() const { return *m_controller; }

Q_SIGNALS:
    void done();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildSidebar();
    QWidget *buildFooter();

    NotchSettings &m_settings;
    std::unique_ptr<SettingsWindow> m_window;
    SettingsScreenController *m_controller = nullptr;
    SettingsTab m_selectedTab = SettingsTab::general;
    QList<QAbstractButton *> m_tabButtons;
    QStackedWidget *m_pages = nullptr;
    QWidget *m_howItWorksPage = nullptr;
    const CaptureShield *m_captureShield = nullptr;
    GeneralTab *m_generalTab = nullptr;
    AppearanceTab *m_appearanceTab = nullptr;
    QAbstractButton *m_resetButton = nullptr;
    QAbstractButton *m_doneButton = nullptr;
};
