#pragma once

#include <QString>

// The text of the version box: eight lines, each pair separated by LF then CR.
QString versionText();
