#include "aboutview.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"
#include "uikit/prominentbutton.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace {

// The application icon, drawn from its vector image at any scale, in a rounded clip.
class ApplicationIconView : public QWidget
{
public:
    explicit ApplicationIconView(QWidget *parent)
        : QWidget(parent)
        , m_renderer(QStringLiteral(":/brivel/brivel.svg"))
    {
        setFixedSize(AboutView::iconSide, AboutView::iconSide);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipPath(roundedRectPath(rect(), 18));
        m_renderer.render(&painter, rect());
    }

private:
    QSvgRenderer m_renderer;
};

QLabel *sheetLabel(QWidget *parent, const QFont &font, const QColor &color)
{
    auto *label = new QLabel(parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

AboutView::AboutView(QWidget *parent)
    : QDialog(parent)
{
    LocalizedText::bind(this, "windowTitle", "Acerca de Brivel");
    setWindowModality(Qt::WindowModal);

    m_icon = new ApplicationIconView(this);
    auto *name = sheetLabel(this, Fonts::systemFont(20, QFont::Bold), whiteAt(0.85));
    LocalizedText::bind(name, "text", "Brivel");
    m_version = sheetLabel(this, Fonts::systemFont(12, QFont::Normal), whiteAt(0.55));
    LocalizedText::bind(m_version, "text", "Versión %@", versionText());
    auto *description = sheetLabel(this, Fonts::systemFont(13, QFont::Normal), whiteAt(0.55));
    description->setWordWrap(true);
    description->setContentsMargins(16, 0, 16, 0);
    LocalizedText::bind(
        description, "text",
        "Tu teleprompter personal que resalta tu guión en tiempo real mientras hablás.");
    auto *divider = new QWidget(this);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette line = divider->palette();
    line.setColor(QPalette::Window, whiteAt(0.1));
    divider->setPalette(line);
    auto *madeBy = sheetLabel(this, Fonts::systemFont(11, QFont::Medium), whiteAt(0.55));
    LocalizedText::bind(madeBy, "text", "Creado por el equipo de Brivel");
    auto *craft = sheetLabel(this, Fonts::systemFont(11, QFont::Normal), whiteAt(0.25));
    LocalizedText::bind(craft, "text", "Diseño y desarrollo: el equipo de Brivel");
    m_ok = new ProminentButton(this);
    LocalizedText::bind(m_ok, "text", "OK");
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(24, 24, 24, 24);
    stack->setSpacing(16);
    stack->addWidget(m_icon, 0, Qt::AlignHCenter);
    auto *heading = new QVBoxLayout;
    heading->setSpacing(4);
    heading->addWidget(name);
    heading->addWidget(m_version);
    stack->addLayout(heading);
    stack->addWidget(description);
    auto *dividerRow = new QHBoxLayout;
    dividerRow->setContentsMargins(20, 0, 20, 0);
    dividerRow->addWidget(divider);
    stack->addLayout(dividerRow);
    auto *credits = new QVBoxLayout;
    credits->setSpacing(4);
    credits->addWidget(madeBy);
    credits->addWidget(craft);
    stack->addLayout(credits);
    stack->addSpacing(4);
    stack->addWidget(m_ok, 0, Qt::AlignHCenter);

    // Exactly the sheet's width; the height follows the texts in the interface language.
    LocalizedText::follow(this, "aboutHeight", [this] { fitHeight(); });
}

QString AboutView::versionText()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("1.0") : version;
}

void AboutView::fitHeight()
{
    setFixedSize(sheetWidth, layout()->totalHeightForWidth(sheetWidth));
}
