#pragma once
// Writes JSON text piece by piece straight to a file, keeping track of where commas go, so that a
// document of millions of numbers is never held as a tree. Floats in their shortest exact form,
// NaN and infinities as null; texts that are not UTF-8 get U+FFFD.
#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

class JsonWriter {
public:
  explicit JsonWriter(std::FILE* out) : out_(out) {}

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }

  void key(const char* name) {
    separate();
    quoted(name);
    std::fputc(':', out_);
    afterKey_ = true;
  }

  void text(const std::string& v) {
    separate();
    quoted(v);
  }
  void number(float v) {
    separate();
    if (!std::isfinite(v)) {
      std::fputs("null", out_);
      return;
    }
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, v);
    std::fwrite(digits, 1, static_cast<std::size_t>(result.ptr - digits), out_);
  }
  void number(long long v) {
    separate();
    std::fprintf(out_, "%lld", v);
  }
  void boolean(bool v) {
    separate();
    std::fputs(v ? "true" : "false", out_);
  }
  void null() {
    separate();
    std::fputs("null", out_);
  }
  // A value held as a small document tree.
  void tree(const nlohmann::json& v) {
    separate();
    const std::string text = v.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), out_);
  }

  void value(float v) { number(v); }
  void value(bool v) { boolean(v); }
  void value(const std::string& v) { text(v); }
  template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
  void value(Integer v) { number(static_cast<long long>(v)); }
  template <typename Element, std::size_t N>
  void value(const std::array<Element, N>& values) { sequence(values); }
  template <typename Element>
  void value(const std::vector<Element>& values) { sequence(values); }

  // "name": value
  template <typename Value>
  void field(const char* name, const Value& v) {
    key(name);
    value(v);
  }

private:
  // A JSON string; bytes that are not UTF-8 become U+FFFD.
  void quoted(const std::string& v) {
    const std::string json = nlohmann::json(v).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fwrite(json.data(), 1, json.size(), out_);
  }

  template <typename Sequence>
  void sequence(const Sequence& values) {
    beginArray();
    for (const auto& v : values) value(v);
    endArray();
  }

  void open(char bracket) {
    separate();
    std::fputc(bracket, out_);
    first_ = true;
  }
  void close(char bracket) {
    std::fputc(bracket, out_);
    first_ = false;
  }
  void separate() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (!first_) std::fputc(',', out_);
    first_ = false;
  }

  std::FILE* out_;
  bool first_ = true;
  bool afterKey_ = false;
};

