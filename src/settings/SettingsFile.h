#pragma once

#include <QString>
#include <QStringView>

#include "platform/ToolPaths.h"

namespace brivano::settings {

// The connection string kept in the settings file: the first item of the
// first file of `paths` that opens (the fallback file is opened only when the
// first cannot be). A file that starts with a UTF-8 byte-order mark is read
// as UTF-8, any other in the ANSI code page (the system's, or the one given).
// Only a regular file counts (a FIFO, a device or a folder cannot be
// opened), and only its first line, of at most 64 KiB, is read.
// Never throws: a missing, unreadable or empty file, or a longer first
// line, gives "".
QString readConnectionString(const platform::ToolPaths& paths);
QString readConnectionString(const platform::ToolPaths& paths, int codePageNumber);

// The connection string of one file in the settings file's format (as
// `brivano-export --settings FILE` reads it). Unlike the load step's, this
// reading fails aloud: throws Error with the reason when the file cannot
// be read or its first line is too long.
QString readConnectionStringFile(const QString& path, int codePageNumber);

// The first item of `text` by the sequential-input rules: leading blanks
// skipped; a quoted item is the text up to the closing quote (or the end of
// its line when there is none); any other item runs to the first comma or
// line end, without its trailing blanks. CR, LF and CR LF all end a line.
QString firstSettingsItem(QStringView text);

}  // namespace brivano::settings
