#include "link/LinkOpener.h"

#include <vector>

#include "common/NativePath.h"
#include "common/PortMap.h"
#include "common/SharedLibrary.h"

namespace velk {

std::unique_ptr<SerialPort> SystemLinkOpener::OpenSerial(const std::string& portName, int baudRate,
                                                         std::string& error) {
  return OpenSerialPort(portName, SerialSettings{baudRate}, PortMap::LoadFromProgramFolder(programFolder_), error);
}

std::unique_ptr<ByteStream> SystemLinkOpener::OpenTcp(const std::string& host, int port, int streamTimeoutMs,
                                                      std::string& error) {
  return ConnectTcp(host, port, ConnectTimeoutMs, streamTimeoutMs, error);
}

namespace {
using SendRequestFn = void (*)(const char*, int, int, int, const char*, int);
using ReceiverFn = void (*)(void*, const unsigned char*, int);
using SetAnswerReceiverFn = void (*)(ReceiverFn, void*);

void ReceiveAnswer(void* context, const unsigned char* bytes, int length) {
  const auto* sink = static_cast<const RequestForwarder::AnswerSink*>(context);
  if (sink && *sink && bytes && length > 0) (*sink)({bytes, static_cast<std::size_t>(length)});
}
}  // namespace

struct LibraryRequestForwarder::Loaded {
  std::unique_ptr<SharedLibrary> Library;
  SendRequestFn Send = nullptr;
  SetAnswerReceiverFn SetReceiver = nullptr;
  RequestForwarder::AnswerSink Sink;
};

LibraryRequestForwarder::LibraryRequestForwarder(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

LibraryRequestForwarder::~LibraryRequestForwarder() {
  if (loaded_ && loaded_->SetReceiver) loaded_->SetReceiver(nullptr, nullptr);
}

bool LibraryRequestForwarder::SendRequest(const std::string& host, std::span<const std::uint8_t> request,
                                          const AnswerSink& sink, std::string& error) {
  if (!tried_) {
    tried_ = true;
    const auto file = programFolder_ / SharedLibraryFileName(LibraryName);
    auto library = LoadSharedLibrary(file, loadError_);
    if (library) {
      auto send = reinterpret_cast<SendRequestFn>(library->Symbol("SendRequest"));
      if (send) {
        loaded_ = std::make_unique<Loaded>();
        loaded_->Send = send;
        loaded_->SetReceiver = reinterpret_cast<SetAnswerReceiverFn>(library->Symbol("SetAnswerReceiver"));
        loaded_->Library = std::move(library);
      } else {
        loadError_ = Utf8FromPath(file) + ": no function SendRequest";
      }
    }
  }
  if (!loaded_) {
    error = loadError_;
    return false;
  }
  loaded_->Sink = sink;
  if (loaded_->SetReceiver) loaded_->SetReceiver(&ReceiveAnswer, &loaded_->Sink);
  std::vector<char> text(request.begin(), request.end());
  text.push_back('\0');
  loaded_->Send(host.c_str(), 28011, 1, 11, text.data(), 9);
  return true;
}

}  // namespace velk
