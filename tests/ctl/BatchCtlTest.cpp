// k57ctl batch --check as a script runs it: a template and a values file in,
// every problem on stderr by file, row and column, the exit code.

#include <gtest/gtest.h>

#include "CtlFileTest.h"

namespace {

using BatchCtlTest = k57::test::CtlFileTest;

TEST_F(BatchCtlTest, EveryProblemOfBothFilesIsToldWithItsPlace) {
    QString templ = Write("template.txt", "MicLevel=10\r\nMicLevel=99\r\nStoper=1\r\n");
    QString values = Write("values.csv",
                           "serial,UserNumber1,NameBT\r\n"
                           "1001,+79990000001,\"Машина, синяя\"\r\n"
                           "1002,+79990000002,\r\n"
                           "1003,899900000003,\r\n"
                           "1001,,\r\n");
    k57::test::CtlRun run = Ctl({"batch", templ, "--values", values, "--check"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    QStringList expected = {
        templ + ":2: MicLevel: \"99\" is above the maximum 14",
        values +
            ": row 4, column 2 (UserNumber1): \"899900000003\" is not + and digits (a phone "
            "number is empty or + and digits, 12 to 16 characters in all)",
        values + ": row 5, column 1 (serial): serial number \"1001\" is given by row 2 already",
        "k57ctl: 3 problem(s); no unit may be written from these",
    };
    EXPECT_EQ(run.err.toStdString(), expected.join('\n').toStdString() + "\n");
}

// The window's words, from the place both front ends share.
TEST_F(BatchCtlTest, InRussianTheProblemsAreToldInTheWindowsWords) {
    QString templ = Write("template.txt", "MicLevel=10\n");
    QString values = Write("values.csv",
                           "serial,UserNumber1,PinCod\n"
                           "1001,899900000001,1234\n"
                           "x,,\n");
    k57::test::CtlRun run = Ctl({"--lang", "ru", "batch", templ, "--values", values, "--check"});
    EXPECT_EQ(run.code, 1);
    QStringList lines = run.err.split('\n');
    ASSERT_GE(lines.size(), 2) << run.err.toStdString();
    EXPECT_EQ(lines[0], values +
                            ": строка 2, столбец 2 (UserNumber1): 899900000001 - номер "
                            "телефона: + и цифры");
    EXPECT_EQ(lines[1], values +
                            ": строка 3, столбец 1 (serial): \"x\" - не серийный номер (от 0 "
                            "до 4294967295)");
}

TEST_F(BatchCtlTest, GoodFilesAreSummedUp) {
    QString templ = Write("template.txt", "MicLevel=10\n");
    QString values = Write("values.csv",
                           "serial,PinCod,NameBT\n"
                           "1,1234,\xC0\xE2\xF2\xEE\n"  // Windows-1251
                           "2,4321,\n"
                           "3,,\n");
    k57::test::CtlRun run = Ctl({"batch", templ, "--values", values, "--check"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "3 units, 2 keys of their own\n");

    k57::test::CtlRun help = Ctl({"batch", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("--values") && help.out.contains("--check"))
        << help.out.toStdString();
}

TEST_F(BatchCtlTest, AFileRefusedWholeIsToldOnce) {
    QString templ = Write("template.txt", "MicLevel=10\n");
    QString values = Write("values.csv", "serial;PinCod\n1;1234\n");
    k57::test::CtlRun run = Ctl({"batch", templ, "--values", values, "--check"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.startsWith(values + ": row 1, column 1: the cells are separated by \";\""))
        << run.err.toStdString();
    k57::test::CtlRun missing =
        Ctl({"batch", templ + ".none", "--values", values + ".none", "--check"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err.count('\n'), 3) << missing.err.toStdString();
}

}  // namespace
