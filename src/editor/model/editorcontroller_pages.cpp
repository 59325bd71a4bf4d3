// The pages themselves: their text, adding, deleting and moving them, and the first-run sample.

#include "editorcontroller.h"

#include "document/brivelservice.h"
#include "platform/bundle.h"
#include "platform/captureshield.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"

#include <QScopedValueRollback>

#include <algorithm>

using namespace Qt::StringLiterals;

QString EditorController::currentPageText() const
{
    return m_service.currentPageText();
}

void EditorController::setCurrentPageText(const QString &text)
{
    const int index = m_service.currentPageIndex();
    QStringList pages = m_service.pages();
    if (index < 0 || index >= pages.size() || pages.at(index) == text)
        return;
    pages[index] = text;
    m_service.setPages(pages);
}

QStringList EditorController::normalizedTitles() const
{
    QStringList titles = m_service.pageTitles();
    BrivelService::normalizedTitles(titles, int(m_service.pages().size()));
    return titles;
}

void EditorController::appendEmptyPage()
{
    const QScopedValueRollback fade(m_pageChangeFadeSeconds, addOrDeleteFadeSeconds);
    QStringList titles = normalizedTitles();
    QStringList pages = m_service.pages();
    pages.append(QString());
    titles.append(QString());
    m_service.setPages(pages);
    m_service.setPageTitles(titles);
    m_service.setCurrentPageIndex(int(pages.size()) - 1);
}

void EditorController::addBulletsPage()
{
    const QScopedValueRollback fade(m_pageChangeFadeSeconds, addOrDeleteFadeSeconds);
    QStringList titles = normalizedTitles();
    QStringList pages = m_service.pages();
    pages.append(u"• \n• \n• "_s);
    titles.append(localizedString("Bullets"));
    m_service.setPages(pages);
    m_service.setPageTitles(titles);
    m_service.setCurrentPageIndex(int(pages.size()) - 1);
}

void EditorController::requestDeletePage()
{
    requestDeletePage(m_service.currentPageIndex());
}

void EditorController::requestDeletePage(int index)
{
    if (m_service.pages().size() >= 2)
        setPendingDeleteIndex(index);
}

void EditorController::confirmDeletePage()
{
    if (m_pendingDeleteIndex)
        deletePage(*m_pendingDeleteIndex);
    setPendingDeleteIndex(std::nullopt);
}

void EditorController::cancelDeletePage()
{
    setPendingDeleteIndex(std::nullopt);
}

void EditorController::deletePage(int index)
{
    const qsizetype count = m_service.pages().size();
    if (count < 2 || index < 0 || index >= count)
        return;
    const QScopedValueRollback fade(m_pageChangeFadeSeconds, addOrDeleteFadeSeconds);
    // The open title edits go to their pages while the indices still name them.
    commitToolbarTitle();
    commitRename();
    removePage(index);
}

void EditorController::removePage(int index)
{
    QStringList pages = m_service.pages();
    QStringList titles = m_service.pageTitles();
    pages.removeAt(index);
    if (index < titles.size())
        titles.removeAt(index);
    const int current = m_service.currentPageIndex();
    int newCurrent = current;
    if (current >= pages.size())
        newCurrent = int(pages.size()) - 1;
    else if (index < current)
        newCurrent = current - 1;
    m_service.setPages(pages);
    m_service.setPageTitles(titles);
    m_service.setCurrentPageIndex(newCurrent);
}

void EditorController::movePages(const QList<int> &sources, int destination)
{
    const QStringList pages = m_service.pages();
    QList<int> moved;
    for (const int source : sources) {
        if (source >= 0 && source < pages.size() && !moved.contains(source))
            moved.append(source);
    }
    if (moved.isEmpty())
        return;
    std::sort(moved.begin(), moved.end());
    destination = std::clamp(destination, 0, int(pages.size()));
    commitToolbarTitle();
    commitRename();

    const auto move = [&moved, destination](const QStringList &list) {
        QStringList kept;
        QStringList taken;
        int insertAt = destination;
        for (int i = 0; i < list.size(); ++i) {
            if (moved.contains(i)) {
                taken.append(list.at(i));
                if (i < destination)
                    --insertAt;
            } else {
                kept.append(list.at(i));
            }
        }
        for (int i = 0; i < taken.size(); ++i)
            kept.insert(insertAt + i, taken.at(i));
        return kept;
    };
    m_service.setPages(move(pages));
    m_service.setPageTitles(move(normalizedTitles()));
    const int first = moved.constFirst();
    m_service.setCurrentPageIndex(first >= destination ? destination : destination - 1);
}

void EditorController::openSlashCommands()
{
    setTriggerSlashMenu(true);
}

bool EditorController::isSampleContent(const QStringList &pages)
{
    // A language switch leaves the sample written in the language it was written in; it is no
    // less untouched for that.
    const auto matches = [&pages](const Bundle &strings) {
        const QList<SamplePage> sample = sampleContent(strings);
        return std::equal(pages.cbegin(), pages.cend(), sample.cbegin(), sample.cend(),
                          [](const QString &page, const SamplePage &samplePage) {
                              return page == samplePage.text;
                          });
    };
    if (matches(*Bundle::main()))
        return true;
    const QList<std::shared_ptr<const Bundle>> languages = Bundle::localizations();
    return std::any_of(languages.cbegin(), languages.cend(),
                       [&matches](const auto &strings) { return matches(*strings); });
}

QList<EditorController::SamplePage> EditorController::sampleContent()
{
    return sampleContent(*NotchSettings::shared().localizationBundle());
}

QList<EditorController::SamplePage> EditorController::sampleContent(const Bundle &strings)
{
    // Looked up in that table, whatever the interface language.
    const auto localizedString = [&strings](const char *spanishKey) {
        return strings.localizedString(QString::fromUtf8(spanishKey));
    };
    QString welcome = localizedString(
        "Hola. Bienvenido a Brivel. [Pausa]\n\n"
        "Brivel es visible solo para vos, pero está oculto para los demás cuando compartís "
        "pantalla. Ideal para presentaciones, reuniones o videollamadas.\n\n"
        "La ventana se ubica justo debajo de la cámara de tu computadora, para que puedas leer "
        "sin perder contacto visual. Está diseñada específicamente para pasar "
        "desapercibida.\n\n"
        "Podés desplazarte por la nota usando las flechas ↑↓ del teclado, y cambiar de nota "
        "usando las flechas ← y →. [Continuar]\n\n"
        "Ahora estás listo para escribir tu propio guion y usarlo en tu próxima reunión.\n\n"
        "Mucha suerte. [Saludo]");
    // Where the window system cannot keep panels out of a screen share, the first page must not
    // promise it: a presenter would rely on it.
    if (!CaptureShield::system().isSupported()) {
        welcome.replace(
            localizedString("Brivel es visible solo para vos, pero está oculto para los "
                            "demás cuando compartís pantalla."),
            localizedString("Brivel queda a la vista por encima de las demás ventanas, "
                            "cerca de la cámara."));
    }
    return {
        {localizedString("Bienvenido a Brivel"), welcome},
        {localizedString("Puntos clave"),
         localizedString("• Saludar por nombre y agradecer la asistencia\n"
                         "• Recordar el contexto de la última conversación\n"
                         "• Presentar la agenda en tres puntos claros\n"
                         "• Preguntar si hay temas que quieran sumar\n"
                         "• Reservar diez minutos al final para preguntas\n"
                         "• Confirmar próximos pasos antes de cerrar\n"
                         "• Enviar resumen por correo dentro de las próximas dos horas")},
    };
}
