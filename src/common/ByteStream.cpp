#include "common/ByteStream.h"

namespace velk {

bool CheckTcpTarget(const std::string& host, int port, std::string& label, std::string& error) {
  label = host + ":" + std::to_string(port);
  if (!host.empty() && port > 0 && port <= 65535) return true;
  error = label + ": no host name or a port outside 1..65535";
  return false;
}

int BaudRateFromCode(int code) {
  switch (code) {
    case 6:
      return 4800;
    case 7:
      return 9600;
    case 9:
      return 19200;
    case 13:
      return 115200;
    default:
      return 0;
  }
}

}  // namespace velk
