#include "carrier/CarrierErrors.h"

#include "carrier/CarrierTexts.h"

namespace velk {

namespace txt = carrier_text;

std::string CarrierErrorText(int code, const std::string& port, const std::string& dev) {
  const std::string cr = "\r", crcr = "\r\r";
  switch (code) {
    case 1: return dev + txt::ErrReceiveInterrupted;
    case 2: return dev + txt::ErrReceive;
    case 3: return dev + txt::ErrMismatch + cr + txt::ErrChecksum + cr + txt::ErrOfAnswer;
    case 5: {
      std::string text = dev + txt::ErrNoAnswer + crcr + txt::ErrCheck + crcr + txt::ErrHint1 + dev +
                         txt::ErrToComPort + crcr + txt::ErrHint2 + cr + txt::ErrConnectedTo + dev + cr +
                         txt::ErrWithPort + cr + txt::ErrInSettings + dev + crcr + txt::ErrHint3 + dev;
      if (dev == txt::NameNkp)
        text += crcr + txt::ErrHint4 + dev + cr + txt::ErrHint4b + cr + txt::ErrHint4c + dev + txt::ErrAndNow + dev +
                cr + txt::ErrHint4d;
      return text;
    }
    case 7:
    case 11:
      return txt::ErrPort + port + txt::ErrPortMissing + cr + txt::ErrPortBusy + crcr + txt::ErrPortChange + cr +
             txt::ErrPortClose + cr + txt::ErrPortUsing + port;
    case 9: return txt::ErrDamaged + dev;
    case 10: return txt::ErrClockStopped + dev + txt::ErrExclaim;
    default: return "";
  }
}

}  // namespace velk
