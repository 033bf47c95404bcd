#pragma once

#include <QString>

#include <string_view>

// Writes a whole file through a new one in the same folder, renamed over the old one only
// when every byte is written: a failure leaves the old file as it was. Returns why it
// failed, or nothing.
QString WriteFileSafely(const QString& path, std::string_view bytes);
