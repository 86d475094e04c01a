// The fleet's room map on hiredis's blocking calls. Each change that must see the lease first is one
// Lua script, so that a relay that has lost a room (paused past its lease, say) never writes over
// the relay that took it over. Keys, CODE a room's:
//   kelvaron:lease:CODE  the holder's HOST:PORT, expiring kFleetLeaseMs after its last renewal
//   kelvaron:room:CODE   a hash: seed, delay, tick (the last tick sent), expiring kRoomRecordSeconds after
//   kelvaron:log:CODE    the room's lines so far, expiring with it
//   kelvaron:relays      a sorted set: each relay's HOST:PORT by when it was last heard, in ms
#include "relay/Fleet.h"

#include <cstdlib>
#include <hiredis/hiredis.h>

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// redis.call returns false for a missing key: the owner when there is one, else -1.
static const char kLeaseCheck[] =
    "local owner = redis.call('GET', KEYS[1]) "
    "if owner ~= ARGV[1] then if owner then return 0 end return -1 end ";
static const char kRegister[] =
    "local owner = redis.call('GET', KEYS[1]) "
    "if owner and owner ~= ARGV[1] then return 0 end "
    "if ARGV[7] == '1' and (owner or redis.call('EXISTS', KEYS[2]) == 1) then return 0 end "
    "redis.call('SET', KEYS[1], ARGV[1], 'PX', ARGV[2]) "
    "redis.call('HSET', KEYS[2], 'seed', ARGV[3], 'delay', ARGV[4], 'tick', ARGV[5]) "
    "redis.call('SET', KEYS[3], ARGV[6]) "
    "redis.call('EXPIRE', KEYS[2], ARGV[8]) redis.call('EXPIRE', KEYS[3], ARGV[8]) return 1";
static const char kRenew[] =
    "redis.call('PEXPIRE', KEYS[1], ARGV[2]) "
    "redis.call('EXPIRE', KEYS[2], ARGV[3]) redis.call('EXPIRE', KEYS[3], ARGV[3]) return 1";
static const char kStore[] =
    "redis.call('HSET', KEYS[2], 'tick', ARGV[2]) "
    "if ARGV[3] ~= '' then redis.call('APPEND', KEYS[3], ARGV[3]) end return 1";
static const char kClaim[] =
    "if redis.call('EXISTS', KEYS[2]) == 0 then return false end "
    "local owner = redis.call('GET', KEYS[1]) if owner then return {owner} end "
    "redis.call('SET', KEYS[1], ARGV[1], 'PX', ARGV[2]) "
    "local r = redis.call('HMGET', KEYS[2], 'seed', 'delay', 'tick') "
    "return {ARGV[1], r[1], r[2], r[3], redis.call('GET', KEYS[3]) or ''}";
static const char kForget[] =
    "if redis.call('GET', KEYS[1]) == ARGV[1] then redis.call('DEL', KEYS[1], KEYS[2], KEYS[3]) end return 1";
static const char kRelease[] = "if redis.call('GET', KEYS[1]) == ARGV[1] then redis.call('DEL', KEYS[1]) end return 1";
static const char kPresence[] =
    "local t = redis.call('TIME') local now = t[1] * 1000 + math.floor(t[2] / 1000) "
    "redis.call('ZADD', KEYS[1], now, ARGV[1]) "
    "redis.call('ZREMRANGEBYSCORE', KEYS[1], '-inf', now - ARGV[2]) "
    "return redis.call('ZRANGE', KEYS[1], 0, -1)";

struct RedisAnswer {
    int type;  // REDIS_REPLY_*
    long long integer;
    std::vector<std::string> items;  // a string's text, or an array's strings
};

bool ReadRedisUrl(const std::string& url, Fleet& fleet, std::string& error)
{
    static const char kScheme[] = "redis://";
    const std::string rest = url.compare(0, sizeof kScheme - 1, kScheme) == 0 ? url.substr(sizeof kScheme - 1) : "";
    const size_t colon = rest.rfind(':');
    fleet.host = rest.substr(0, colon);
    fleet.port = 6379;
    if (colon != std::string::npos) {
        char* end;
        const long port = std::strtol(rest.c_str() + colon + 1, &end, 10);
        fleet.port = *end || port < 1 || port > 65535 ? 0 : int(port);
    }
    if (fleet.host.empty() || fleet.port == 0 || fleet.host.find_first_of("/@") != std::string::npos) {
        error = "--redis takes redis://HOST:PORT, not " + url;
        return false;
    }
    return true;
}

static void DropConnection(Fleet& fleet)
{
    if (fleet.redis)
        redisFree(fleet.redis);
    fleet.redis = nullptr;
    fleet.nextTry = steady_clock::now() + milliseconds(kFleetRenewMs);
}

bool ConnectFleet(Fleet& fleet)
{
    if (fleet.redis || steady_clock::now() < fleet.nextTry)
        return false;
    const timeval timeout = {0, kRedisTimeoutMs * 1000};
    fleet.redis = redisConnectWithTimeout(fleet.host.c_str(), fleet.port, timeout);
    if (!fleet.redis || fleet.redis->err || redisSetTimeout(fleet.redis, timeout) != REDIS_OK) {
        DropConnection(fleet);
        return false;
    }
    fleet.registerAll = true;
    return true;
}

// Sends every command, then reads every answer: one round trip. Empty when Redis is down.
static std::vector<RedisAnswer> AskRedis(Fleet& fleet, const std::vector<std::vector<std::string>>& commands)
{
    std::vector<RedisAnswer> answers;
    if (!fleet.redis)
        return answers;
    for (const std::vector<std::string>& words : commands) {
        std::vector<const char*> argv;
        std::vector<size_t> sizes;
        for (const std::string& w : words) {
            argv.push_back(w.data());
            sizes.push_back(w.size());
        }
        redisAppendCommandArgv(fleet.redis, int(argv.size()), argv.data(), sizes.data());
    }
    for (size_t i = 0; i < commands.size(); ++i) {
        void* got = nullptr;
        if (redisGetReply(fleet.redis, &got) != REDIS_OK || !got) {
            DropConnection(fleet);
            return {};
        }
        const redisReply* r = static_cast<redisReply*>(got);
        RedisAnswer a = {r->type, r->integer, {}};
        if (r->type == REDIS_REPLY_STRING || r->type == REDIS_REPLY_ERROR || r->type == REDIS_REPLY_STATUS)
            a.items.emplace_back(r->str, r->len);
        for (size_t e = 0; r->type == REDIS_REPLY_ARRAY && e < r->elements; ++e)
            a.items.emplace_back(r->element[e]->type == REDIS_REPLY_STRING ? std::string(r->element[e]->str, r->element[e]->len) : "");
        freeReplyObject(got);
        answers.push_back(std::move(a));
    }
    return answers;
}

// A script on a room's three keys.
static std::vector<std::string> RunOnRoom(const char* script, const std::string& code, std::vector<std::string> args)
{
    std::vector<std::string> words = {"EVAL", script, "3", "kelvaron:lease:" + code, "kelvaron:room:" + code,
                                      "kelvaron:log:" + code};
    words.insert(words.end(), args.begin(), args.end());
    return words;
}

static FleetLease ReadLease(const RedisAnswer& a)
{
    return a.type != REDIS_REPLY_INTEGER ? FleetLease::kDown
           : a.integer == 1             ? FleetLease::kOurs
           : a.integer == 0             ? FleetLease::kLost
                                        : FleetLease::kAbsent;
}

static std::vector<FleetLease> ReadLeases(const std::vector<RedisAnswer>& answers, size_t count)
{
    std::vector<FleetLease> leases(count, FleetLease::kDown);
    for (size_t i = 0; i < answers.size() && i < count; ++i)
        leases[i] = ReadLease(answers[i]);
    return leases;
}

bool RenewPresence(Fleet& fleet)
{
    const std::vector<RedisAnswer> answers =
        AskRedis(fleet, {{"EVAL", kPresence, "1", "kelvaron:relays", fleet.self, std::to_string(kFleetLeaseMs)}});
    if (answers.empty() || answers[0].type != REDIS_REPLY_ARRAY)
        return false;
    fleet.relays = answers[0].items;
    return true;
}

FleetLease RegisterRoom(Fleet& fleet, const std::string& code, const FleetRoom& room, bool fresh)
{
    const std::vector<RedisAnswer> answers = AskRedis(
        fleet, {RunOnRoom(kRegister, code,
                          {fleet.self, std::to_string(kFleetLeaseMs), std::to_string(room.seed), std::to_string(room.delay),
                           std::to_string(room.tick), room.log, fresh ? "1" : "0", std::to_string(kRoomRecordSeconds)})});
    return answers.empty() ? FleetLease::kDown : ReadLease(answers[0]);
}

std::vector<FleetLease> RenewLeases(Fleet& fleet, const std::vector<std::string>& codes)
{
    std::vector<std::vector<std::string>> commands;
    for (const std::string& code : codes)
        commands.push_back(RunOnRoom((std::string(kLeaseCheck) + kRenew).c_str(), code,
                                     {fleet.self, std::to_string(kFleetLeaseMs), std::to_string(kRoomRecordSeconds)}));
    return ReadLeases(AskRedis(fleet, commands), codes.size());
}

std::vector<FleetLease> StoreTicks(Fleet& fleet, const std::vector<std::string>& codes, const std::vector<long>& ticks,
                                   const std::vector<std::string>& lines)
{
    static const std::string script = std::string(kLeaseCheck) + kStore;
    std::vector<std::vector<std::string>> commands;
    for (size_t i = 0; i < codes.size(); ++i)
        commands.push_back(RunOnRoom(script.c_str(), codes[i], {fleet.self, std::to_string(ticks[i]), lines[i]}));
    return ReadLeases(AskRedis(fleet, commands), codes.size());
}

FleetAnswer ClaimRoom(Fleet& fleet, const std::string& code, std::string& owner, FleetRoom& room)
{
    const std::vector<RedisAnswer> answers =
        AskRedis(fleet, {RunOnRoom(kClaim, code, {fleet.self, std::to_string(kFleetLeaseMs)})});
    if (answers.empty() || answers[0].type == REDIS_REPLY_ERROR)
        return FleetAnswer::kDown;
    const std::vector<std::string>& got = answers[0].items;
    if (answers[0].type != REDIS_REPLY_ARRAY || got.empty())
        return FleetAnswer::kNoRoom;
    owner = got[0];
    if (got.size() != 5)
        return FleetAnswer::kHeld;
    room.seed = uint32_t(std::strtoul(got[1].c_str(), nullptr, 10));
    room.delay = std::atoi(got[2].c_str());
    room.tick = std::atol(got[3].c_str());
    room.log = got[4];
    return FleetAnswer::kClaimed;
}

void ForgetRoom(Fleet& fleet, const std::string& code)
{
    AskRedis(fleet, {RunOnRoom(kForget, code, {fleet.self})});
}

void ReleaseRoom(Fleet& fleet, const std::string& code)
{
    AskRedis(fleet, {RunOnRoom(kRelease, code, {fleet.self})});
}

void CloseFleet(Fleet& fleet)
{
    if (fleet.redis)
        redisFree(fleet.redis);
    fleet.redis = nullptr;
}
