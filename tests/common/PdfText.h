#pragma once
// The text of a printed PDF as pdftotext lays it out, for tests of printing.

#include <QProcess>
#include <gtest/gtest.h>

#include <string>

inline std::string PdfText(const std::string& pdf) {
    QProcess run;
    run.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    EXPECT_TRUE(run.waitForFinished(20000));
    return run.readAllStandardOutput().toStdString();
}
