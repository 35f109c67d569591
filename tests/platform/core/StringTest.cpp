// CString: formatting, construction and concatenation.

#include "core/String.h"

#include <gtest/gtest.h>

#include <string>

TEST(String, FormatReplacesTheWholeContentsAndConcatenationAppends)
{
    CString s("old text that is longer than the new one");
    s.Format("RGB(%d, %d, %d)", 255, 0, 17);
    EXPECT_EQ(s, "RGB(255, 0, 17)");
    EXPECT_EQ(s.GetLength(), 15);
    const std::string big(5000, 'x');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(std::string(s), "[" + big + "]");

    EXPECT_TRUE(CString(nullptr).IsEmpty());
    EXPECT_EQ(CString("abcdef", 3), "abc");
    s = "Pix";
    s += "mora";
    s += '!';
    EXPECT_EQ(s + CString("?"), "Pixmora!?");
}
