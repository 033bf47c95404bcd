#include "ui/main_window.h"

Form1::Form1(const BuildVariant& variant, QWidget* parent) : QMainWindow(parent), variant_(variant) {
    setObjectName("Form1");
    setWindowTitle(kWindowTitle);
    resize(11100 / 15, 8235 / 15);
}
