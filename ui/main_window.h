#pragma once

#include "programs/build_variant.h"

#include <QMainWindow>

// The program's one main window.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(const BuildVariant& variant, QWidget* parent = nullptr);

private:
    const BuildVariant& variant_;
};

inline constexpr char kWindowTitle[] = "ORCA-5 Telemetry Decoder (orca5 project)";
