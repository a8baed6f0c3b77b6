#include "common/ByteStream.h"

namespace velk {

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
