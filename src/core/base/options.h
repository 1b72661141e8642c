#pragma once

#include <QString>
#include <QStringList>

#include "base/addresses.h"

namespace base {

// What the command line asks for.
struct Options {
    enum class Action {
        Run,      // start the program with `addresses`
        Help,     // print `text` (the help) and end
        Version,  // print `text` (the version line) and end
        Error,    // print `text` (what is wrong) to the error output and end
    };
    Action action = Action::Run;
    Addresses addresses = Addresses::defaults();
    QString text;
};

// Reads the command line; `arguments` starts with the program's name. Every service
// address can be set (--tracking-url, --update-url, --branch-url, --forum-url,
// --website-url); one that is not a usable http(s) address is refused. Needs no
// application object and no display.
Options parseOptions(const QStringList& arguments);

// Whether the command line asks only for the help or the version, which are answered
// before the window system is touched.
bool asksOnlyForInformation(const QStringList& arguments);

}  // namespace base
