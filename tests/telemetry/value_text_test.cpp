#include "telemetry/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(ValueText, GeneralDecimalFormInTheLocale) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ValueText(4.2, english), "4.2");
    EXPECT_EQ(ValueText(4.2, german), "4,2");
    EXPECT_EQ(ValueText(-10, english), "-10");
    EXPECT_EQ(ValueText(4200, german), "4200") << "no thousands separator";
    EXPECT_EQ(ValueText(4294967295.0, english), "4294967295");
    EXPECT_EQ(ValueText(65.535, english), "65.535");
    EXPECT_EQ(ValueText(0.001, english), "0.001");
    EXPECT_EQ(ValueText(4123 / 1000.0, german), "4,123");
    EXPECT_EQ(ValueText(0, english), "0");
}

TEST(ValueText, StatusInHexadecimalWithAllThirtyTwoBits) {
    EXPECT_EQ(StatusText(6699), "1A2B");
    EXPECT_EQ(StatusText(0), "0");
    EXPECT_EQ(StatusText(2147483647), "7FFFFFFF");
    EXPECT_EQ(StatusText(2147483648.0), "80000000");
    EXPECT_EQ(StatusText(4294967295.0), "FFFFFFFF");
}

TEST(ValueText, PositionText) {
    EXPECT_EQ(PositionText(7, 120), "#7 / 120");
    EXPECT_EQ(PositionText(1, 1), "#1 / 1");
}

TEST(ValueText, AgreesWithTheLocaleGeneralFormForEveryDecodedKind) {
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const double samples[] = {0, 1, -1, -128, 127, 255, 65535, 65.535, 4.123, 0.001, 0.5, -0.5, -12.345, 4294967295.0,
                              1234567890, 12.5, 3.3, 1e-5, 1e15, 123456789012345678.0};
    for (const double value : samples) EXPECT_EQ(ValueText(value, QLocale::c()), plain.toString(value, 'g', 15)) << value;
    for (int millivolts = -999; millivolts < 65536; ++millivolts)
        ASSERT_EQ(ValueText(millivolts / 1000.0, QLocale::c()), plain.toString(millivolts / 1000.0, 'g', 15));
    // thousandths of every size up to 15 digits, and the doubles a unit on either side of them
    std::mt19937_64 random(5);
    for (int i = 0; i < 300000; ++i) {
        const long long digits = 1 + static_cast<long long>(random() % 15);
        const long long n = static_cast<long long>(random() % static_cast<unsigned long long>(std::pow(10.0, digits))) * (i % 2 ? 1 : -1);
        const double value = std::nextafter(n / 1000.0, (i % 3 == 0 ? -1 : 1) * (i % 3 == 2 ? 0.0 : INFINITY));
        ASSERT_EQ(ValueText(value, QLocale::c()), plain.toString(value, 'g', 15)) << n;
    }
}
