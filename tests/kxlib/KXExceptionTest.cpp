#include "kxlib/KXException.h"
#include "kxlib/KXNullHandleException.h"
#include "kxlib/KXSmartPtr.h"
#include "kxlib/KXSystemException.h"

#include <gtest/gtest.h>

#include <string>

using namespace KXLib;

TEST(KXExceptionTest, MessageNamesSiteKindAndDescription)
{
    EXPECT_STREQ(KXException("a.cpp", 12, "bad").what(),
                 "File:a.cpp Line:12 Name:KXBaseLib::Exception Description:bad\n");
    // Without a file, or with line 0, the site is left out.
    EXPECT_STREQ(KXException(nullptr, 12, "bad").what(), "Name:KXBaseLib::Exception Description:bad\n");
    EXPECT_STREQ(KXException("a.cpp", 0, "").what(), "Name:KXBaseLib::Exception Description:\n");
    EXPECT_STREQ(KXSystemException("t.cpp", 7, "KXThread::start fail, repeat start !").what(),
                 "File:t.cpp Line:7 Name:KXSYSTEMLIB::KXSystemException "
                 "Description:KXThread::start fail, repeat start !\n");
    EXPECT_STREQ(KXNullHandleException("p.h", 45).what(),
                 "File:p.h Line:45 Name:KXBaseLib::NullHandleException Description:\n");
}

TEST(KXExceptionTest, RaiseThrowsTheMostDerivedKind)
{
    const KXSystemException system("s.cpp", 3, "why");
    const KXException& asBase = system;
    try {
        asBase.raise();
        FAIL() << "raise() returned";
    } catch (const KXSystemException& caught) {
        EXPECT_EQ(caught.description(), "why");
        EXPECT_EQ(caught.line(), 3);
    }

    const KXNullHandleException null("n.h", 1);
    const std::exception& asStd = null;
    try {
        dynamic_cast<const KXException&>(asStd).raise();
        FAIL() << "raise() returned";
    } catch (const KXNullHandleException& caught) {
        EXPECT_STREQ(caught.name(), "KXBaseLib::NullHandleException");
    }

    // Every kind can be caught as the standard exception.
    EXPECT_THROW(KXException("e.cpp", 1, "x").raise(), std::exception);
}

TEST(KXExceptionTest, NullDereferenceNamesTheSmartPointerHeader)
{
    struct Plain : public virtual KXShared {};
    KXSmartPtr<Plain> empty;
    try {
        empty.get();
        FAIL() << "no exception";
    } catch (const KXNullHandleException& caught) {
        const std::string message = caught.what();
        EXPECT_EQ(message.rfind("File:", 0), 0u) << message;
        EXPECT_NE(message.find("KXSmartPtr.h Line:"), std::string::npos) << message;
        EXPECT_NE(message.find(" Name:KXBaseLib::NullHandleException Description:\n"), std::string::npos) << message;
        EXPECT_TRUE(caught.description().empty());
    }
}
