#pragma once

#include "ui/build_variant.h"

#include <QDialog>
#include <QString>

class QLabel;

// The licence disclaimer of both programs: one line, 485 characters.
inline constexpr char kLicenceText[] =
    "This program is free software: you can redistribute it and/or modify it under the terms of the GNU General "
    "Public License as published by the Free Software Foundation, either version 3 of the License, or (at your "
    "option) any later version. It is provided \"AS IS\", without warranty of any kind, express or implied. Decoded "
    "values may be wrong: do not rely on them for the operations of any spacecraft. You should have received a copy "
    "of the GNU General Public License with this program.";

// "Version 0.6    (06 Feb 2021)"
QString VersionLine(const BuildVariant& variant);

// The about box: title, picture, credits, version line and licence disclaimer.
class Info : public QDialog {
    Q_OBJECT

public:
    explicit Info(const BuildVariant& variant, QWidget* parent = nullptr);

    QLabel* Label2;   // the version line
    QLabel* Label11;  // the licence text

private:
    void Form_Load(const BuildVariant& variant);
};
