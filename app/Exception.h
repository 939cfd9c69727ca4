// SPDX-License-Identifier: MIT
#pragma once
// The program's error type: what the exception display shows.

#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);
  const std::u16string& Message() const noexcept { return message_; }
  const char* what() const noexcept override;

 private:
  std::u16string message_;
  std::string utf8_;
};
