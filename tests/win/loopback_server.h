// A page server on a free loopback port for the in-process browser tests:
// answers every request with a small page and records the request paths.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
 public:
  LoopbackServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    ::closesocket(listener_);
    thread_.join();
    ::WSACleanup();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::wstring Url(const char* path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path, path + strlen(path));
  }
  std::vector<std::string> Paths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
  }
  // Requests whose path starts with `prefix`.
  size_t Count(const std::string& prefix) {
    size_t count = 0;
    for (const std::string& path : Paths()) count += path.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
  }

 private:
  void Serve() {
    while (!stop_) {
      SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char buffer[2048];
      while (request.find("\r\n\r\n") == std::string::npos) {
        int got = ::recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        request.append(buffer, got);
      }
      const size_t start = request.find(' ');
      const size_t end = request.find(' ', start + 1);
      if (start != std::string::npos && end != std::string::npos) {
        std::lock_guard<std::mutex> lock(mutex_);
        paths_.push_back(request.substr(start + 1, end - start - 1));
      }
      static const char kReply[] =
          "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 27\r\n"
          "Connection: close\r\n\r\n<html><body>hi</body></html>";
      ::send(client, kReply, sizeof(kReply) - 2, 0);
      ::shutdown(client, SD_BOTH);
      ::closesocket(client);
    }
  }
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> paths_;
  std::thread thread_;
};
