#include "lists/service_list.h"

#include <gtest/gtest.h>

#include <string>

namespace velkor {
namespace {

// What each manager state offers in the context menu, through its text: the
// text the list shows must lead back to the right commands.
TEST(ServiceList, StateTextsLeadToTheirCommands) {
  struct Case {
    uint32_t state;
    const char* text;
    bool start, stop, pause, resume;
  };
  const Case cases[] = {
      {1, "", true, false, false, false},
      {2, "Starten...", false, false, false, false},
      {3, "Stoppen...", false, false, false, false},
      {4, "Aktiv", false, true, true, false},
      {5, "Fortsetzen...", false, false, false, false},
      {6, "Anhalten...", false, false, false, false},
      {7, "Angehalten", false, true, false, true},
      {0, "", true, false, false, false},
      {8, "", true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    EXPECT_EQ(ServiceStateText(c.state), c.text);
    const ServiceMenuEnabling menu = ServiceMenuFor(ServiceStateText(c.state));
    EXPECT_EQ(menu.Enabled(kServiceStartCommand), c.start);
    EXPECT_EQ(menu.Enabled(kServiceStopCommand), c.stop);
    EXPECT_EQ(menu.Enabled(kServicePauseCommand), c.pause);
    EXPECT_EQ(menu.Enabled(kServiceContinueCommand), c.resume);
    EXPECT_FALSE(menu.Enabled(kServiceRefreshCommand));  // not this table's to decide: always on
  }
}

TEST(ServiceList, FailureMessagesNameTheServiceInQuotes) {
  EXPECT_EQ(ServiceCommandFailedMessage(kServiceStartCommand, "Spooler"),
            "Der Dienst \"Spooler\" konnte nicht gestartet werden!");
  EXPECT_EQ(ServiceCommandFailedMessage(kServiceContinueCommand, "A B"),
            "Der Dienst \"A B\" konnte nicht fortgesetzt werden!");
  for (int command : {kServiceStopCommand, kServicePauseCommand})
    EXPECT_NE(ServiceCommandFailedMessage(command, "x").find("\"x\""), std::string::npos);
  EXPECT_EQ(ServiceCommandFailedMessage(kServiceRefreshCommand, "x"), "");
}

TEST(ServiceList, StoredDescriptionEdges) {
  const std::string buffer("Druckwarteschlange\0rest", 23);
  EXPECT_EQ(StoredDescription(buffer, 19), "Druckwarteschlange");
  EXPECT_EQ(StoredDescription(buffer, 3), "Dr");
  EXPECT_EQ(StoredDescription(buffer, 2), "");  // one character and its terminator
  EXPECT_EQ(StoredDescription(buffer, 0), "");
  EXPECT_EQ(StoredDescription(buffer, 24), "");                    // more than the buffer holds
  EXPECT_EQ(StoredDescription(buffer, 23), "Druckwarteschlange");  // stops at the first zero

  EXPECT_TRUE(IsIndirectString("@%SystemRoot%\\system32\\spoolsv.exe,-2"));
  EXPECT_FALSE(IsIndirectString("@"));
  EXPECT_FALSE(IsIndirectString("Mail an @home"));
}

// A command handed to the worker holds its row at the pending text (which
// blocks the row's menu) until its outcome is taken; one per service.
TEST(ServiceList, PendingCommandsHoldTheirRowsOnePerService) {
  PendingServiceCommands pending;
  EXPECT_EQ(pending.ShownState("Spooler", "Aktiv"), "Aktiv");
  ASSERT_TRUE(pending.Add("Spooler", kServiceStopCommand));
  EXPECT_FALSE(pending.Add("Spooler", kServiceStartCommand));  // one at a time
  EXPECT_TRUE(pending.Add("Other", kServicePauseCommand));
  EXPECT_FALSE(pending.Add("", kServiceStartCommand));
  EXPECT_FALSE(pending.Add("Third", kServiceRefreshCommand));
  EXPECT_FALSE(pending.Has("Third"));
  EXPECT_EQ(pending.ShownState("Spooler", "Aktiv"), "Stoppen...");
  EXPECT_EQ(pending.ShownState("Other", "Aktiv"), "Anhalten...");
  EXPECT_EQ(pending.ShownState("spooler", ""), "");  // key names as the manager spells them
  pending.Finish("Spooler");
  EXPECT_EQ(pending.ShownState("Spooler", ""), "");
  EXPECT_TRUE(pending.Add("Spooler", kServiceStartCommand));
  EXPECT_EQ(pending.ShownState("Spooler", ""), "Starten...");

  for (int command = kServiceStartCommand; command <= kServiceContinueCommand; ++command) {
    const ServiceMenuEnabling menu = ServiceMenuFor(PendingServiceText(command));
    for (int item = kServiceStartCommand; item <= kServiceContinueCommand; ++item)
      EXPECT_FALSE(menu.Enabled(item)) << command << " " << item;
  }
  EXPECT_EQ(PendingServiceText(kServiceContinueCommand), "Fortsetzen...");
}

}  // namespace
}  // namespace velkor
