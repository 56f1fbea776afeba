// kdspctl: the command-line tool for setting files and the device protocol.
#include <cstdio>
#include <exception>
#include <string_view>

#include "commands.h"

namespace {

constexpr const char* kUsage =
    "usage: kdspctl COMMAND [ARGS]\n"
    "\n"
    "Setting files:\n"
    "  new FILE                   write the factory-default setting file\n"
    "  dump FILE [--json]         print every field of the file's parameter block\n"
    "  diff A B                   print the fields that differ (exit 1 when some do)\n"
    "  curve FILE --page PAGE [--mic-set a|b]\n"
    "                             print a page's summed response, one HZ<TAB>DB line per\n"
    "                             chart point; PAGE: mic music echo reverb main center\n"
    "                             surround subwoofer\n"
    "Device records:\n"
    "  encode CODE [BYTE...]      print a record's text (numbers decimal or 0x-hex)\n"
    "  decode [FILE]              read the processor's byte stream (stdin without FILE)\n"
    "                             and print each record and each dropped one\n";

struct Command {
  std::string_view name;
  int (*run)(const kdsp::tools::Args&);
};

constexpr Command kCommands[] = {
    {"new", kdsp::tools::RunNew},       {"dump", kdsp::tools::RunDump},
    {"diff", kdsp::tools::RunDiff},     {"curve", kdsp::tools::RunCurve},
    {"encode", kdsp::tools::RunEncode}, {"decode", kdsp::tools::RunDecode},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string_view name = argv[1];
  const kdsp::tools::Args args(argv + 2, argv + argc);
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    try {
      return command.run(args);
    } catch (const kdsp::tools::UsageError& e) {
      std::fprintf(stderr, "kdspctl: %s\n", e.what());
      return 2;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kdspctl: %s\n", e.what());
      return 3;
    }
  }
  std::fprintf(stderr, "kdspctl: unknown command '%s'\n\n%s", argv[1], kUsage);
  return 2;
}
