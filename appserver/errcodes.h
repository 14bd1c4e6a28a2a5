#pragma once

// The errcodes of the server's replies, each with the message the user reads.

namespace sscplan::appserver {

struct ErrorKind {
    const char* code;
    const char* msg;
};

inline constexpr ErrorKind kOk{"0", "成功"};
inline constexpr ErrorKind kBodyTooLarge{"1001", "请求数据过长"};
inline constexpr ErrorKind kMalformedBody{"1002", "请求格式错误"};
inline constexpr ErrorKind kBadCallToken{"1003", "令牌无效或已过期"};
inline constexpr ErrorKind kUnreadableRequest{"1004", "请求数据无法解析"};
inline constexpr ErrorKind kUnknownApp{"1005", "应用编号无效"};
inline constexpr ErrorKind kUnknownFunction{"1006", "云函数不存在"};
inline constexpr ErrorKind kBadSession{"1007", "会话无效，请重新连接服务器"};
inline constexpr ErrorKind kBadParameter{"1008", "参数错误"};
inline constexpr ErrorKind kNoDraws{"1009", "暂无开奖数据"};
inline constexpr ErrorKind kInternal{"1010", "服务器内部错误"};

}  // namespace sscplan::appserver
