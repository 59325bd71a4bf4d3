#pragma once

// A module of the tests whose code calls a function that nothing defines.
struct UndefinedSymbolModule
{
    static constexpr char name[] = "test_undefinedsymbol";

    int (*callNowhere)() = nullptr;
};
