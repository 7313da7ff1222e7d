// Numbers keep a point as decimal separator whatever the user's language,
// once the program has started up.
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "GermanLocale.h"
#include "qt/runtime/QtRuntime.h"

namespace qs {
namespace {

TEST(NumberLocale, StartUpPutsNumbersBackInTheCLocaleOnAGermanDesktop) {
    test::GermanLocaleScope german;
    if (!german.active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));

    UseCLocaleForNumbers();
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));
    EXPECT_EQ(QLocale().toString(1234.5), QStringLiteral("1234.5"));
    // Only the numbers: the rest of the user's locale stays theirs.
    EXPECT_NE(std::strstr(std::setlocale(LC_TIME, nullptr), "de_DE"), nullptr);
    QLocale::setDefault(QLocale::c());
}

}  // namespace
}  // namespace qs
