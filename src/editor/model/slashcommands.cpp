#include "slashcommands.h"

#include "settings/localization.h"
#include "settings/notchsettings.h"

#include <QSet>

#include <algorithm>
#include <memory>

namespace {

struct Table
{
    std::shared_ptr<const Bundle> language;
    QList<SlashCommand> commands;
    QList<QString> foldedLabels;
    int longestQuery = 0;
};

Table buildTable()
{
    using C = SlashCommandCategory;
    const auto command = [](const char *trigger, const QString &label, const char *icon,
                            const QString &insertion, C category) {
        const QString name = QString::fromLatin1(trigger);
        return SlashCommand{name, name, label, QString::fromLatin1(icon), insertion, category};
    };
    const auto cue = [](const char *key) {
        QString marker = localizedString(key);
        marker.prepend(u'[');
        marker.append(u']');
        return marker;
    };
    Table table;
    table.commands = {
        command("bullet", localizedString("Punto"), "list.bullet", u"\u2022 "_qs, C::bullets),
        command("list", localizedString("Lista de puntos"), "list.bullet.indent",
                u"\u2022 \n\u2022 \n\u2022 "_qs, C::bullets),
        command("pause", localizedString("Pausa"), "pause.circle", cue("Pausa"), C::stage),
        command("stop", localizedString("Stop"), "stop.circle", cue("Stop"), C::stage),
        command("smile", localizedString("Sonríe"), "face.smiling", cue("Sonríe"), C::stage),
        command("slow", localizedString("Más lento"), "tortoise", cue("+ Lento"), C::delivery),
        command("fast", localizedString("Más rápido"), "hare", cue("+ Rápido"), C::delivery),
        command("breath", localizedString("Respira"), "wind", cue("Respira"), C::delivery),
        command("emphasis", localizedString("Énfasis"), "exclamationmark.circle", cue("Énfasis"),
                C::delivery),
        command("soft", localizedString("Voz baja"), "speaker.wave.1", cue("Voz baja"),
                C::delivery),
        command("loud", localizedString("Más fuerte"), "speaker.wave.3", cue("Más fuerte"),
                C::delivery),
        command("break", localizedString("Separador"), "minus",
                u"\u2500\u2500 \u2500\u2500 \u2500\u2500 \u2500\u2500 \u2500\u2500"_qs,
                C::structure),
        command("audience", localizedString("Mira al público"), "person.3", cue("Mira al público"),
                C::audience),
        command("wait", localizedString("Espera reacción"), "clock", cue("Espera reacción"),
                C::audience),
        command("ask", localizedString("Pregunta al público"), "questionmark.bubble",
                cue("Pregunta al público"), C::audience),
    };
    for (const SlashCommand &c : std::as_const(table.commands)) {
        table.foldedLabels.append(foldForSlashMatch(c.label));
        // A query typed with its accents as separate marks is as long as the decomposed label.
        table.longestQuery
            = std::max({table.longestQuery, int(c.trigger.size()),
                        int(c.label.normalized(QString::NormalizationForm_D).size())});
    }
    return table;
}

const Table &table()
{
    static Table current;
    const std::shared_ptr<const Bundle> language = NotchSettings::shared().localizationBundle();
    if (current.commands.isEmpty() || current.language != language) {
        current = buildTable();
        current.language = language;
    }
    return current;
}

bool isWhiteSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

QString slashCommandCategoryTitle(SlashCommandCategory category)
{
    switch (category) {
    case SlashCommandCategory::bullets:
        return localizedString("Puntos");
    case SlashCommandCategory::stage:
        return localizedString("Indicaciones");
    case SlashCommandCategory::delivery:
        return localizedString("Entrega");
    case SlashCommandCategory::structure:
        return localizedString("Estructura");
    case SlashCommandCategory::audience:
        return localizedString("Audiencia");
    }
    return {};
}

const QList<SlashCommand> &allSlashCommands()
{
    return table().commands;
}

QString foldForSlashMatch(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString kept;
    kept.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            kept += c;
    }
    return kept.toCaseFolded();
}

QList<SlashCommand> filteredSlashCommands(const QString &query)
{
    const Table &all = table();
    if (query.isEmpty())
        return all.commands;
    const QString folded = foldForSlashMatch(query);
    QList<SlashCommand> found;
    for (qsizetype i = 0; i < all.commands.size(); ++i) {
        const SlashCommand &command = all.commands[i];
        if (foldForSlashMatch(command.trigger).startsWith(folded)
            || all.foldedLabels[i].contains(folded))
            found.append(command);
    }
    return found;
}

std::optional<SlashQuery> slashQuery(QStringView text, int caret)
{
    if (caret < 1 || caret > text.size())
        return std::nullopt;
    const int longest = table().longestQuery;
    int slash = -1;
    for (int i = caret - 1; i >= 0 && caret - 1 - i <= longest; --i) {
        const QChar c = text[i];
        if (isWhiteSpace(c))
            return std::nullopt;
        if (c == u'/') {
            slash = i;
            break;
        }
    }
    if (slash < 0 || (slash > 0 && !isWhiteSpace(text[slash - 1])))
        return std::nullopt;
    return SlashQuery{text.mid(slash + 1, caret - slash - 1).toString().toLower(), slash,
                      caret - slash};
}

int slashQueryLookBehind()
{
    return table().longestQuery + 2;
}

int slashPanelHeight(const QList<SlashCommand> &commands)
{
    QSet<SlashCommandCategory> categories;
    for (const SlashCommand &command : commands)
        categories.insert(command.category);
    const int height = 30 * int(commands.size()) + 22 * int(categories.size()) + 16;
    return std::clamp(height, 44, 300);
}

QPoint slashPanelPosition(const QRect &caret, const QSize &panel,
                          const std::optional<QRect> &available)
{
    const QRect area = available.value_or(QRect(0, 0, 1440, 900));
    // Exclusive edges: QRect::right() and bottom() are one short of them.
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    int x = caret.x();
    int top = caret.y() + caret.height() + 4;
    if (top + panel.height() > areaBottom)
        top = caret.y() - 4 - panel.height();
    if (x + panel.width() > areaRight - 8)
        x = areaRight - panel.width() - 8;
    // A caret off the edge of the area, or an area smaller than the palette, still leaves the
    // palette on screen, its top-left part first.
    x = std::max(x, area.x());
    top = std::max(std::min(top, areaBottom - panel.height()), area.y());
    return {x, top};
}
