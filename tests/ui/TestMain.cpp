#include "ui/DialogFont.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    QApplication::setFont(quorlex::DialogFont());
    // Message box buttons speak the program's language only with these.
    quorlex::InstallQtTranslations(app);
    return RUN_ALL_TESTS();
}
