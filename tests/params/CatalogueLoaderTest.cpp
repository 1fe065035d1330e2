#include <gtest/gtest.h>

#include <chrono>

#include "ParameterList.h"

namespace {

std::string Catalogue(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"ANSI\"?>\r\n<resources><parameters>" + body +
           "</parameters></resources>";
}

std::string Number(const std::string& key, const std::string& extra = "") {
    return "<parameter key=\"" + key + "\" type=\"number\" min=\"0\" max=\"9\" " + extra + "/>";
}

TEST(CatalogueLoader, EnumerationsResolveWhereverTheyStandAndGroupsKeepOrder) {
    ParameterList list(Catalogue(
        "<group name=\"B\" after=\"A\">"
        "<parameter key=\"Mode\" type=\"enum\" enum=\"late\" default=\"5\" min=\"0\" max=\"1\"/>"
        "</group>"
        "<group name=\"A\">" +
        Number("X") +
        "</group>"
        "<enum name=\"late\"><item value=\"5\" text=\"five\"/><item value=\"$2\" text=\"two\"/>"
        "<item value=\"-1\"/></enum>"));
    ASSERT_EQ(list.loadError(), "");
    ASSERT_EQ(list.GroupCount(), 2);
    EXPECT_EQ(list.GroupAt(0).name, "B");
    EXPECT_EQ(list.GroupAt(0).after, "A");
    const EnumValueList* late = list.FindEnum("late");
    ASSERT_TRUE(late);
    ASSERT_EQ(late->Count(), 3);
    EXPECT_EQ(late->items[1].value, 2);
    EXPECT_EQ(late->items[2].text, "");
    list.ResetToDefaults();
    EXPECT_EQ(list.DisplayValue("Mode"), "five");
    EXPECT_EQ(late->ItemAt(-1), nullptr);
    EXPECT_EQ(late->ItemAt(3), nullptr);
    EXPECT_EQ(late->TextOf("$5"), "five");
    EXPECT_EQ(late->TextOf("abc"), "");
    EXPECT_EQ(late->TextOf("7"), "");
}

TEST(CatalogueLoader, DescriptionEscapesAndContinuations) {
    ParameterList list(Catalogue(
        "<group>" + Number("A", "description=\"a\\nb\"") + Number("B", "description=\"a\\\r\nb\"") +
        Number("C", "description=\"a\\n\\\r\nb\"") +
        Number("D", "description='say \"hi\"\\t\\\\\r\n\r\n' name=\"x\\ny\"") +
        Number("E", "description=\"&lt;&amp;&gt;\"") + "</group>"));
    ASSERT_EQ(list.loadError(), "");
    EXPECT_EQ(list.ParameterAt(0).description, "a\nb");
    EXPECT_EQ(list.ParameterAt(1).description, "ab");
    EXPECT_EQ(list.ParameterAt(2).description, "a\nb");
    // Removing one continuation can expose another; a lone "\t" stays.
    EXPECT_EQ(list.ParameterAt(3).description, "say \"hi\"\\t");
    EXPECT_EQ(list.ParameterAt(3).name, "x\\ny");
    EXPECT_EQ(list.ParameterAt(4).description, "<&>");
}

TEST(CatalogueLoader, LongDescriptionsLoadInLinearTime) {
    std::string description;
    for (int i = 0; i < 100000; ++i) {
        description += "ab\\n\\\r\n";  // a "\n" and a continuation every 8 bytes
    }
    auto start = std::chrono::steady_clock::now();
    ParameterList list(Catalogue("<group>" + Number("A", "description=\"" + description + "\"") +
                                 "</group>"));
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(list.loadError(), "");
    EXPECT_EQ(list.ParameterAt(0).description.size(), 300000u);
    EXPECT_LT(took, std::chrono::milliseconds(500));
}

TEST(CatalogueLoader, DuplicateNamesAndKeys) {
    ParameterList list(Catalogue("<group name=\"G\">" + Number("K", "default=\"1\"") +
                                 "</group><group name=\"G\">" + Number("K", "default=\"2\"") +
                                 "</group>"));
    EXPECT_EQ(list.GroupParameters("G").size(), 2u);
    EXPECT_EQ(list.IndexOf("K"), 0);
    list.SetValue("K", "5");
    EXPECT_EQ(list.ParameterAt(0).value, "5");
    EXPECT_EQ(list.ParameterAt(1).value, "");
    EXPECT_EQ(list.ParameterAt(1).groupName, "G");
}

TEST(CatalogueLoader, AnEnumWithoutNameIsSkippedAndOtherContentIgnored) {
    ParameterList list(
        Catalogue("<enum><item value=\"1\"/></enum><enum name=\"e\"/><note>text</note>"
                  "<group name=\"G\" colour=\"red\">text<Parameter key=\"Q\"/>" +
                  Number("K") + "</group>"));
    ASSERT_EQ(list.loadError(), "");
    EXPECT_EQ(list.Enums().size(), 1u);
    EXPECT_EQ(list.ParameterCount(), 1);
    EXPECT_EQ(list.ParameterAt(0).key, "K");
}

TEST(CatalogueLoader, MissingRootsGiveAnEmptyListQuietly) {
    ParameterList noResources("<other/>");
    EXPECT_EQ(noResources.GroupCount(), 0);
    EXPECT_EQ(noResources.loadError(), "");
    ParameterList noParameters("<resources><group/></resources>");
    EXPECT_EQ(noParameters.GroupCount(), 0);
}

TEST(CatalogueLoader, AParseErrorEmptiesTheListAndIsKept) {
    ParameterList list(
        Catalogue("<group name=\"G\">" + Number("K") + "<parameter key=\"Q\"</group>"));
    EXPECT_EQ(list.GroupCount(), 0);
    EXPECT_EQ(list.ParameterCount(), 0);
    EXPECT_EQ(list.loadError().rfind("ошибка парсера: ", 0), 0u);
    EXPECT_GT(list.loadError().size(), std::string("ошибка парсера: ").size());
    EXPECT_EQ(list.ValuesToText(), "");
}

TEST(CatalogueLoader, RejectsWhatItWouldHaveToInvent) {
    struct Case {
        std::string body;
        const char* names;
    };
    const Case cases[] = {
        {"<group>" + Number("K") + "<parameter key=\"P\" min=\"0\" max=\"1\"/></group>",
         "<parameter> (key=\"P\"): нет атрибута \"type\""},
        {"<group><parameter key=\"P\" type=\"Number\" min=\"0\" max=\"1\"/></group>",
         "<parameter> (key=\"P\"): неизвестный тип в атрибуте \"type\""},
        {"<group><parameter key=\"P\" type=\"string\" max=\"1\"/></group>",
         "<parameter> (key=\"P\"): нет атрибута \"min\""},
        {"<group><parameter key=\"P\" type=\"string\" min=\"0\" max=\"1 \"/></group>",
         "<parameter> (key=\"P\"): атрибут \"max\" не является целым числом"},
        {"<enum name=\"e\"><item text=\"t\"/></enum>", "<item>: нет атрибута \"value\""},
        {"<enum name=\"e\"><item value=\"1x\"/></enum>",
         "<item>: атрибут \"value\" не является целым числом"},
    };
    for (const Case& c : cases) {
        ParameterList list(Catalogue(c.body));
        EXPECT_EQ(list.ParameterCount(), 0) << c.names;
        EXPECT_EQ(list.Enums().size(), 0u) << c.names;
        EXPECT_NE(list.loadError().find(c.names), std::string::npos) << list.loadError();
    }
}

}  // namespace
