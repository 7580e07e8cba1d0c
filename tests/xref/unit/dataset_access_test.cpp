#include "dataset_access.h"

#include <gtest/gtest.h>

namespace xref {
namespace {

std::string AccessOf(const char* status, const char* disposition) {
    return AccessText(AccessFromDisposition(status, disposition));
}

TEST(AccessFromDisposition, StatusAndNormalDisposition) {
    EXPECT_EQ(AccessOf("SHR", ""), "read");
    EXPECT_EQ(AccessOf("SHR", "KEEP"), "read");
    EXPECT_EQ(AccessOf("SHR", "DELETE"), "read,delete");
    EXPECT_EQ(AccessOf("OLD", ""), "write");
    EXPECT_EQ(AccessOf("OLD", "DELETE"), "write,delete");
    EXPECT_EQ(AccessOf("MOD", "KEEP"), "write");
    EXPECT_EQ(AccessOf("MOD", "DELETE"), "write,delete");
    EXPECT_EQ(AccessOf("NEW", "CATLG"), "write,create");
    EXPECT_EQ(AccessOf("NEW", "PASS"), "write,create");
    EXPECT_EQ(AccessOf("NEW", "DELETE"), "write,create,delete");
}

TEST(AccessFromDisposition, JclDefaultsWhenAbsent) {
    // No DISP at all is NEW,DELETE; a NEW data set without a normal disposition is deleted,
    // an existing one kept.
    EXPECT_EQ(AccessOf("", ""), "write,create,delete");
    EXPECT_EQ(AccessOf("NEW", ""), "write,create,delete");
    EXPECT_EQ(AccessOf("", "CATLG"), "write,create");
    EXPECT_EQ(AccessOf("MOD", ""), "write");
}

DataSetElement Named(const char* dsn, const char* status = "") {
    DataSetElement element;
    element.dsn = dsn;
    element.status = status;
    return element;
}

TEST(DeriveAccess, FtpTransferSides) {
    EXPECT_EQ(AccessText(DeriveAccess("FTP001_I", Named("/u/in.txt"))), "read");
    EXPECT_EQ(AccessText(DeriveAccess("FTP012_O", Named("HLQ.OUT"))), "write");
    EXPECT_EQ(FtpTransferSide("FTP001_I", Named("X")), FtpSide::Input);
    EXPECT_EQ(FtpTransferSide("FTP001_O", Named("X")), FtpSide::Output);
    // A DD merely named like one, with a status, is an ordinary DD.
    EXPECT_EQ(FtpTransferSide("FTP001_I", Named("X", "SHR")), FtpSide::None);
    EXPECT_EQ(AccessText(DeriveAccess("FTP001_I", Named("X", "SHR"))), "read");
    for (const char* name : {"FTP01_I", "FTPABC_I", "FTP001_X", "FTP001-I", "XFTP001_I"})
        EXPECT_EQ(FtpTransferSide(name, Named("X")), FtpSide::None) << name;
}

TEST(DeriveAccess, NoDataSetNoAccess) {
    EXPECT_EQ(AccessText(DeriveAccess("SYSOUT", Named(""))), "");
    EXPECT_EQ(AccessText(DeriveAccess("OUT2", Named("", "NEW"))), ""); // Velkor: status alone
}

DdKind KindOf(std::initializer_list<const char*> records) {
    DdKind kind;
    for (const char* record : records)
        NoteParameters(record, kind);
    return kind;
}

TEST(NoteParameters, SysoutDummyAndInstream) {
    EXPECT_TRUE(KindOf({"SYSOUT=*"}).sysout);
    EXPECT_TRUE(KindOf({"SYSOUT=(A,INTRDR)"}).sysout);
    EXPECT_TRUE(KindOf({"DUMMY,DSN=X.Y,EATTR=OPT"}).dummy);
    EXPECT_TRUE(KindOf({"DSN=NULLFILE"}).dummy);
    EXPECT_TRUE(KindOf({"*"}).instream);
    EXPECT_TRUE(KindOf({"DATA", "DLM=$$"}).instream);
    const DdKind plain = KindOf({"DSN=SYSOUT.DATA", "DISP=SHR", "DCB=(RECFM=FB,LRECL=80)"});
    EXPECT_FALSE(plain.sysout || plain.dummy || plain.instream);
    // Parentheses and apostrophes hide commas.
    EXPECT_FALSE(KindOf({"DCB=(A,*)"}).instream);
    EXPECT_FALSE(KindOf({"PARM='X,DUMMY'"}).dummy);
}

TEST(SplitParameters, TopLevelCommas) {
    const std::vector<std::string> expected{"DSN=A.B", "DISP=(NEW,CATLG)", "SPACE=(CYL,(1,1))",
                                            "LABEL='A,B'"};
    EXPECT_EQ(SplitParameters("DSN=A.B,DISP=(NEW,CATLG),SPACE=(CYL,(1,1)),LABEL='A,B'"), expected);
    EXPECT_TRUE(SplitParameters("").empty());
}

} // namespace
} // namespace xref
