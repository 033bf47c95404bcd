#pragma once

#include <QStringList>

// The file dialog hands over its selection in a buffer of 2048 characters: one file as its
// path, several as the folder and each name, every part ended by a NUL, the list by one more.
inline constexpr qsizetype kSelectionBufferLength = 2048;
inline constexpr char kTooManyFilesMessage[] = "Es wurden zu viele Dateien ausgewählt!";

// The characters the selection takes in that buffer.
qsizetype SelectionLength(const QStringList& paths);
