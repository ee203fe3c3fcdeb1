#include "command_result.h"

#include "json_writer.h"

namespace {

// A line that must stay one line on the terminal.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

void writeDocument(const CommandResult& result, const char* command, std::FILE* out) {
  JsonWriter json(out);
  json.beginObject();
  json.key("command");
  if (command != nullptr) {
    json.text(command);
  } else {
    json.null();
  }
  json.field("status", static_cast<int>(result.status));
  json.key("failure");
  if (result.failed()) {
    json.beginObject();
    json.field("kind", std::string(failureKind(result.status)));
    json.field("reason", oneLine(result.reason));
    json.endObject();
  } else {
    json.null();
  }
  json.field("warnings", result.warnings);
  for (const auto& [key, value] : result.fields.items()) {
    json.key(key.c_str());
    json.tree(value);
  }
  if (result.streamedFields) result.streamedFields(json);
  json.endObject();
  std::fputc('\n', out);
}

}  // namespace

const char* failureKind(ExitStatus status) {
  switch (status) {
    case exitSuccess: return nullptr;
    case exitRefused: return "refused";
    case exitUsage: return "usage";
    case exitUnreadable: return "input";
    case exitUnwritable: return "output";
    case exitNoModule: return "module";
  }
  return "module";
}

CommandResult& CommandResult::fail(ExitStatus failure, std::string why) {
  status = failure;
  reason = std::move(why);
  return *this;
}

int finishCommand(const CommandResult& result, const char* command, bool json) {
  std::fflush(stdout);
  for (const std::string& warning : result.warnings) std::fprintf(stderr, "vukhost: warning: %s\n", oneLine(warning).c_str());
  if (result.failed()) std::fprintf(stderr, "vukhost: %s\n", oneLine(result.reason).c_str());
  if (json) writeDocument(result, command, stdout);
  std::fflush(stdout);
  return result.status;
}

std::FILE* textOutput(bool json) {
  if (!json) return stdout;
  static std::FILE* const nowhere = [] {
    std::FILE* sink = std::fopen("/dev/null", "w");
    return sink != nullptr ? sink : std::tmpfile();
  }();
  return nowhere;
}
