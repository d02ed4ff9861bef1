#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "programs/vessa/progress_bar.h"

namespace vessa {
namespace {

// Runs the bar on a temporary file with a clock the test moves.
struct Recorded {
  std::FILE* file = std::tmpfile();
  double now = 100.0;
  ProgressBar bar{file, [this] { return now; }};
  ~Recorded() { std::fclose(file); }
  std::string Text() {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
    return text;
  }
};

TEST(ProgressBar, QuietForWorkUnderASecond) {
  Recorded r;
  r.bar(0.0);
  r.now += 0.5;
  r.bar(0.5);
  r.now += 0.4;
  r.bar(1.0);
  EXPECT_EQ(r.Text(), "");
}

TEST(ProgressBar, ShownAfterASecondAndFinishedWithItsTime) {
  Recorded r;
  r.bar(0.0);
  r.now += 1.5;
  r.bar(0.25);
  r.now += 1.0;
  r.bar(1.0);
  const std::string text = r.Text();
  EXPECT_NE(text.find("\rmap [##########..............................]  25% 1.5 s"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\rmap [########################################] 100% 2.5 s\n"),
            std::string::npos)
      << text;
  // The next piece of work starts quiet again.
  r.bar(0.0);
  r.now += 0.1;
  r.bar(1.0);
  EXPECT_EQ(r.Text(), text);
}

}  // namespace
}  // namespace vessa
