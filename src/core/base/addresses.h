#pragma once

#include <QUrl>

namespace base {

// The addresses of the services the program talks to. Each has a built-in default and can
// be set on the command line.
struct Addresses {
    QUrl tracking;    // the tracking service; the query string is appended to it
    QUrl update;      // the version file "jc.txt"
    QUrl branchSite;  // the branch site; "/query_list.asp" is appended to it
    QUrl forum;       // the maker's forum
    QUrl website;     // the maker's web site

    static Addresses defaults();
};

}  // namespace base
