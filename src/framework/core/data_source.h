// Names bytes to be read: a buffer in memory (embedded assets) or a file path.
#pragma once

#include <memory>
#include <string>

#include "framework/core/buffer.h"
#include "framework/core/stream.h"

namespace loom {

class DataSource {
 public:
  virtual ~DataSource() = default;
  virtual IStreamRef createStream() = 0;
  virtual bool isFilePath() const = 0;
  // Empty for a buffer.
  virtual std::string getFilePath() const = 0;
  // The whole content; a path source reads its file (StreamExc when it cannot).
  virtual Buffer getBuffer() = 0;
};

using DataSourceRef = std::shared_ptr<DataSource>;

class DataSourceBuffer : public DataSource {
 public:
  explicit DataSourceBuffer(Buffer buffer) : buffer_(std::move(buffer)) {}
  static std::shared_ptr<DataSourceBuffer> create(Buffer buffer) {
    return std::make_shared<DataSourceBuffer>(std::move(buffer));
  }
  IStreamRef createStream() override { return std::make_shared<IStreamMem>(buffer_); }
  bool isFilePath() const override { return false; }
  std::string getFilePath() const override { return {}; }
  Buffer getBuffer() override { return buffer_; }

 private:
  Buffer buffer_;
};

class DataSourcePath : public DataSource {
 public:
  explicit DataSourcePath(std::string path) : path_(std::move(path)) {}
  static std::shared_ptr<DataSourcePath> create(std::string path) {
    return std::make_shared<DataSourcePath>(std::move(path));
  }
  IStreamRef createStream() override { return std::make_shared<IStreamFile>(path_); }
  bool isFilePath() const override { return true; }
  std::string getFilePath() const override { return path_; }
  Buffer getBuffer() override;

 private:
  std::string path_;
};

inline DataSourceRef loadFile(const std::string& path) { return DataSourcePath::create(path); }

}  // namespace loom
