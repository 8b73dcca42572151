#include "TolvIBus.h"

#include <QMessageBox>
#include <QString>

void ShowCommErrorBox(const std::string& text) {
    QMessageBox::critical(nullptr, QString(), QString::fromLocal8Bit(text.c_str()),
                          QMessageBox::Ok);
}
