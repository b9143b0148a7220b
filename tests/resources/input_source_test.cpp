// Locators, hints and data sources of the three kinds of input source.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/core/exceptions.h"
#include "resources/input_source.h"
#include "resources/temp_file.h"

namespace {

using inkvane::InputSource;

TEST(InputSource, EmbeddedResourceLocatorsAndHints) {
  auto dot = InputSource::getResource("../resources/dot.png", 129, "DATA");
  EXPECT_EQ(dot->getURI(), "res_msw://129/DATA");
  EXPECT_EQ(dot->getFilePathHint(), "../resources/dot.png");
  EXPECT_TRUE(dot->getFilePath().empty());
  EXPECT_EQ(InputSource::getResource("x", -5, "PNG")->getURI(), "res_msw://-5/PNG");
  EXPECT_GT(dot->loadDataSource()->getBuffer().size(), 0u);
  try {
    InputSource::getResource("gone", 4242, "DATA")->loadDataSource();
    FAIL() << "expected ResourceLoadExc";
  } catch (const loom::app::ResourceLoadExc& e) {
    EXPECT_STREQ(e.what(), "Failed to load resource: #4242 type: DATA");
  }
}

TEST(InputSource, FilesResourceFilesAndUnknownKinds) {
  strophe_test::TempFile file({1, 2, 3});
  auto present = InputSource::getFile(file.path());
  EXPECT_EQ(present->getURI(), "file://" + file.path().string());
  EXPECT_EQ(present->loadDataSource()->getBuffer().size(), 3u);

  // A relative path is resolved against the current directory.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(file.path().parent_path());
  EXPECT_EQ(InputSource::getFile(file.path().filename())->getURI(), "file://" + file.path().string());
  std::filesystem::current_path(previous);

  auto missing = InputSource::getFile("no/such/file.png");
  EXPECT_EQ(missing->getURI(), "file:://undefined");
  try {
    missing->loadDataSource();
    FAIL() << "expected AssetLoadExc";
  } catch (const loom::app::AssetLoadExc& e) {
    EXPECT_STREQ(e.what(), "no/such/file.png");
  }

  InputSource resourceFile(InputSource::RESOURCE, "sprites/line.png", 0, "", "/nonexistent/line.png", "line.png");
  EXPECT_EQ(resourceFile.getURI(), "res://sprites/line.png");
  EXPECT_THROW(resourceFile.loadDataSource(), loom::app::AssetLoadExc);

  InputSource none(7, "a", 1, "DATA", file.path(), "a");
  EXPECT_EQ(none.getURI(), "");
  EXPECT_EQ(none.loadDataSource(), nullptr);
}

}  // namespace
