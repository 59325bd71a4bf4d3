#pragma once

#include "settings/localization.h"

#include <QString>

#include <functional>

class QObject;

// Keeps the looked-up texts of a widget (or an action) in the interface language. A binding
// applies its text now and again after every change of the language, for as long as its target
// lives; binding the same property of a target again replaces what it followed.
class LocalizedText
{
public:
    // Sets `property` ("text", "toolTip", "placeholderText" …) of `target` to the key's text,
    // its placeholders filled from the arguments. The key is a string literal.
    template <typename... Args>
    static void bind(QObject *target, const char *property, const char *key,
                     const Args &...arguments)
    {
        bind(target, property, std::function<QString()>([key, arguments...] {
                 return localizedString(key, arguments...);
             }));
    }

    // Sets `property` of `target` to what `text` returns, for texts that a model looks up.
    static void bind(QObject *target, const char *property, std::function<QString()> text);

    // For what a plain property cannot say (a painted text, a size that follows the text):
    // `apply` runs now and after every change of language. `role` names it on its target.
    static void follow(QObject *target, const char *role, std::function<void()> apply);

    LocalizedText() = delete;
};
