// Message boxes and beeps.
#include "lib/dialogs.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::RecordingDialogs;

TEST(MessageDialog, AddsTaskModalAndMapsAnswers) {
  RecordingDialogs boxes;
  const std::pair<int, int> answers[] = {{1, 1}, {6, 1}, {7, 7}, {2, 2}, {3, 2}, {5, 2}};
  for (const auto& [answer, expected] : answers) {
    boxes.Answer = answer;
    EXPECT_EQ(MessageDialog("Caption", "Text", 0x20), expected) << answer;
  }
  ASSERT_EQ(boxes.Boxes.size(), 6u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Caption");
  EXPECT_EQ(boxes.Boxes[0].Text, "Text");
  EXPECT_EQ(boxes.Boxes[0].Flags, 0x20u | 0x2000u);
  EXPECT_TRUE(boxes.Beeps.empty());
}

TEST(MessageDialog, BoxThatDoesNotAppearBeepsAndAnswersCancel) {
  RecordingDialogs boxes;
  boxes.Answer = 0;
  EXPECT_EQ(MessageDialog("c", "t", 0), 2);
  ASSERT_EQ(boxes.Beeps.size(), 1u);
  EXPECT_EQ(boxes.Beeps[0], 48u);
}

TEST(MessageDialog, DefaultWritesToStandardErrorAndAnswersOk) {
  ::testing::internal::CaptureStderr();
  const int answer = MessageDialog("Error", "Something failed.", 0);
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(written, "Error: Something failed.\n");
}

TEST(ShowErrorMessage, ErrorCaptionAndIcon) {
  RecordingDialogs boxes;
  ShowErrorMessage("Invalid source file or destination directory.");
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Error");
  EXPECT_EQ(boxes.Boxes[0].Text, "Invalid source file or destination directory.");
  EXPECT_EQ(boxes.Boxes[0].Flags, MB_ICONERROR_FLAG | MB_TASKMODAL_FLAG);
}

TEST(Beeps, OkayAndWarningTypes) {
  RecordingDialogs boxes;
  BeepOkay();
  BeepWarning();
  ASSERT_EQ(boxes.Beeps.size(), 2u);
  EXPECT_EQ(boxes.Beeps[0], 0u);
  EXPECT_EQ(boxes.Beeps[1], 48u);
}
