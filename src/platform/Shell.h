#pragma once

#include <QString>

namespace qvr {

// Opens a file, folder or address with the desktop's handler; when none is there, with the
// default web browser. Never reports a failure; false only when nothing could be started.
bool OpenDocument(const QString& target);

// Opens a file, folder or address with the desktop's handler; false when no handler could be
// started.
bool OpenWithDesktop(const QString& target);

// Opens an address in the default web browser ($BROWSER, else the system's), else with the
// desktop's handler.
void OpenInBrowser(const QString& address);

// The address a browser needs for a target: addresses stay, paths become file addresses.
QString BrowserAddress(const QString& target);

}  // namespace qvr
