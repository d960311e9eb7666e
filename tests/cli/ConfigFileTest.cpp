#include "cli/ConfigFields.h"
#include "cli/ConfigJson.h"
#include "cli/Secrets.h"

#include <gtest/gtest.h>

using namespace quorlex;
using namespace quorlex::cli;
using json = nlohmann::json;

namespace {

json Table(double first) {
    json table = json::array();
    for (int i = 0; i < kRadioChannelCount; ++i) {
        table.push_back(first + i);
    }
    return table;
}

json ValidRelay() {
    return json{
        {"workingMode", "NETRELAY"},
        {"networkRelay",
         {{"apn", {{"name", "CMNET"}, {"user", ""}, {"password", ""}}},
          {"server",
           {{"address", "192.0.2.1"},
            {"port", 2101},
            {"mountPoint", "NEAR"},
            {"user", "crew"},
            {"password", {{"source", "receiver"}}}}}}},
        {"relayRadio", {{"protocol", "TRIMTALK"}, {"channel", 2}, {"txFrequency", Table(440)}}}};
}

std::vector<ConfigProblem> Problems(const std::string& text) {
    std::vector<ConfigProblem> problems;
    EXPECT_FALSE(ParseConfigJson(text, problems).has_value()) << text;
    return problems;
}

} // namespace

TEST(ConfigFileTest, EveryMistakeIsNamedWithItsKey) {
    const json removed(json::value_t::discarded);
    struct Case {
        std::string at; // where the valid file is changed
        json value;     // removed: the key goes
        std::string key;
        std::string reason;
    };
    const Case cases[] = {
        {"/colour", 1, "colour", "unknown key"},
        {"/networkRelay/server/tls", true, "networkRelay.server.tls", "unknown key"},
        {"/workingMode", removed, "workingMode", "missing"},
        {"/workingMode", "RELAY", "workingMode", "one of"},
        {"/relayRadio", removed, "relayRadio", "NETRELAY needs it"},
        {"/networkRelay/apn/user", removed, "networkRelay.apn.user", "missing"},
        {"/networkRelay/server/port", 0, "networkRelay.server.port", "1-65535"},
        {"/networkRelay/server/port", "2101", "networkRelay.server.port", "whole number"},
        {"/relayRadio/channel", 17, "relayRadio.channel", "1-16"},
        {"/relayRadio/protocol", 7, "relayRadio.protocol", "TRIMTALK"},
        {"/relayRadio/txFrequency/3", 400.0, "relayRadio.txFrequency[3]", "410-470"},
        {"/relayRadio/txFrequency/4", 444.1254, "relayRadio.txFrequency[4]", "three decimals"},
        {"/relayRadio/txFrequency", json::array({440.0}), "relayRadio.txFrequency",
         "16 frequencies"},
        {"/relayRadio/txFrequency/1", 0, "relayRadio.txFrequency[1]",
         "relayRadio.channel 2 uses it"},
        {"/networkRelay/server/mountPoint", "A,B", "networkRelay.server.mountPoint", "\",\""},
        {"/networkRelay/server/user", "a|b", "networkRelay.server.user", "\"|\""},
        {"/networkRelay/apn/name", "CMNET\r\nSET,X", "networkRelay.apn.name", "printable ASCII"},
        {"/networkRelay/server/address", "", "networkRelay.server.address", "empty"},
        {"/networkRelay/apn/password", json{{"source", "file"}}, "networkRelay.apn.password",
         "source"},
        {"/networkRelay/apn/password", json{{"source", "env"}, {"variable", "A-B"}},
         "networkRelay.apn.password", "variable name"},
        {"/baseNetwork", 3, "baseNetwork", "must be an object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at + " " + c.value.dump());
        json doc = ValidRelay();
        const json::json_pointer at(c.at);
        if (c.value.is_discarded()) {
            doc[at.parent_pointer()].erase(at.back());
        } else {
            doc[at] = c.value;
        }
        const auto problems = Problems(doc.dump());
        ASSERT_FALSE(problems.empty());
        EXPECT_EQ(problems[0].key, c.key);
        EXPECT_NE(problems[0].reason.find(c.reason), std::string::npos) << problems[0].reason;
    }
    EXPECT_EQ(Problems(R"({"workingMode": "UHF", "workingMode": "NETBASE"})")[0].reason,
              "given twice in one object");
    EXPECT_NE(Problems("{\"workingMode\": ")[0].reason.find("not valid JSON"), std::string::npos);
}

TEST(ConfigFileTest, WhatAReceiverReportsReadsBackAsTheSameFile) {
    ReceiverSettings settings;
    settings.config.workingMode = kWorkingModeBaseNetwork;
    settings.config.datalink.network[0].server = {u"192.0.2.5", 6060, u"u1", u"pw", u"MP"};
    for (RadioBlock& radio : settings.config.datalink.radio) {
        radio.txFrequency = {410.05}; // both radios, as RADIO.FREQUENCY fills them
        radio.protocol = 10;
    }
    settings.config.datalink.radio[1].rxChannel = 1;
    settings.config.datalink.radio[1].rxFrequency[0] = 466.625;
    const ConfigFile reported = ConfigFromRecord(settings.config);
    std::vector<std::string> leftOut;
    const auto doc = ConfigToJson(reported, settings.info, leftOut);
    EXPECT_TRUE(leftOut.empty());
    EXPECT_EQ(doc["baseNetwork"]["server"]["address"], "192.0.2.5");
    EXPECT_EQ(doc["networkRelay"]["server"]["password"],
              nlohmann::ordered_json({{"source", "receiver"}}));

    std::vector<ConfigProblem> problems;
    const auto config = ParseConfigJson(doc.dump(), problems);
    ASSERT_TRUE(config) << problems.at(0).key << ": " << problems.at(0).reason;
    for (const FieldDef& field : ConfigFields()) {
        if (!field.secret) {
            EXPECT_EQ(FieldText(field, *config), FieldText(field, reported)) << field.path;
        }
    }

    // A field no reply filled leaves its whole section out, and says so.
    MarkUnreported(settings);
    settings.config.workingMode = kWorkingModeRadio;
    leftOut.clear();
    const auto partial = ConfigToJson(ConfigFromRecord(settings.config), settings.info, leftOut);
    EXPECT_FALSE(partial.contains("radio"));
    EXPECT_EQ(partial["workingMode"], "UHF");
    EXPECT_EQ(leftOut.size(), 5u);
}

TEST(ConfigFileTest, AValidFileGivesItsValuesAndPasswordsComeFromTheEnvironmentOrTheReceiver) {
    json doc = ValidRelay();
    doc["networkRelay"]["apn"]["password"] = {{"source", "env"}, {"variable", "APN_PW"}};
    std::vector<ConfigProblem> problems;
    auto parsed = ParseConfigJson(doc.dump(), problems);
    ASSERT_TRUE(parsed) << problems.at(0).key << ": " << problems.at(0).reason;
    ConfigFile& config = *parsed;
    EXPECT_EQ(config.workingMode, kWorkingModeNetworkRelay);
    EXPECT_EQ(config.workCopy.datalink.network[0].server.port, 2101);
    EXPECT_EQ(config.relayRadio.protocol, 3);
    EXPECT_EQ(config.relayRadio.txFrequency[15], 455.0);

    std::optional<std::string> apn;
    const EnvironmentLookup lookup = [&](const std::string& name) {
        return name == "APN_PW" ? apn : std::nullopt;
    };
    std::string error;
    EXPECT_FALSE(ResolveEnvironmentSecrets(config, lookup, error));
    EXPECT_EQ(error, "networkRelay.apn.password: the environment variable APN_PW is not set");
    apn = "a,b";
    EXPECT_FALSE(ResolveEnvironmentSecrets(config, lookup, error));
    EXPECT_EQ(error.find("a,b"), std::string::npos) << error;
    apn = "apn-secret";
    ASSERT_TRUE(ResolveEnvironmentSecrets(config, lookup, error));
    EXPECT_EQ(config.workCopy.datalink.network[0].apn.password, u"apn-secret");

    ReceiverSettings receiver;
    receiver.config.datalink.network[0].server.password = u"own";
    ASSERT_TRUE(ResolveReceiverSecrets(config, ConfigFromRecord(receiver.config), error));
    EXPECT_EQ(config.workCopy.datalink.network[0].server.password, u"own");
    MarkUnreported(receiver);
    EXPECT_FALSE(ResolveReceiverSecrets(config, ConfigFromRecord(receiver.config), error));
    EXPECT_EQ(error, "networkRelay.server.password: the receiver did not report its own value");
}

TEST(ConfigFileTest, CommandsAndAnswersShowNoPassword) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"SET,NETWORK.APNPASS,s3cret", u"SET,NETWORK.APNPASS,***"},
        {u"SET,NETWORK.MOUNTPOINTUSERPASS,crew|p|w,d", u"SET,NETWORK.MOUNTPOINTUSERPASS,crew|***"},
        {u"SET,NETWORK.MOUNTPOINTUSERPASS,onlyuser", u"SET,NETWORK.MOUNTPOINTUSERPASS,***"},
        {u"@GNSS,ERROR,5,SET,NETWORK.APNPASS,x*1A", u"@GNSS,ERROR,5,SET,NETWORK.APNPASS,***"},
        {u"SET,NETWORK.APN,CMNET", u"SET,NETWORK.APN,CMNET"},
    };
    for (const auto& [command, shown] : cases) {
        EXPECT_EQ(MaskedCommand(command), shown);
    }
}
