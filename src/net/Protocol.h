// The relay's wire protocol: the contract every client follows, whatever its build. The relay and
// every client include this header; what it names is spelt nowhere else.
//
// One port serves the page over HTTP and rooms over a WebSocket at /ws:
//   GET /ws                   opens a new room and takes its first seat
//   GET /ws?room=CODE         joins that room: the first free seat, or as a spectator
//   GET /ws?room=CODE&seat=N  takes seat N back (0 to 2), if no one holds it; else as above
//   GET /ws?delay=D           opens a new room that waits out an input delay of at least D ticks
//                             (kMinDelay to kMaxDelay) rather than rolling back, as before protocol 4
//   ...&watch=1               joins as a spectator for now: a program whose window is not up yet
//                             holds no seat (which its silence would hand to the autopilot) until sit
//   ...&protocol=P&physics=W  the client's protocol (kRelayProtocol) and physics (DescribePhysicsWord);
//                             either unlike the relay's is refused, naming both
// A room's link for people is http://HOST:PORT/?room=CODE (the page, which then opens the socket),
// and ...&seat=N there counts cars as people see them, 1 to 3, as the overlay's "Car1" does.
//
// Messages are text, one per WebSocket message; lines end with '\n', words are separated by one
// blank. Binary messages, messages over kMaxMessageBytes (but a seat's offer, up to kMaxOfferBytes,
// once the relay has asked it for one) and more than kMaxMessagesPerSecond end the
// connection, with the reason in the close frame, as does a connection beyond --max-per-address
// from one address. So does a malformed message, a command for a tick kMaxTicksAhead or more from
// the room's, another car's command or a spectator's, and a hash for a tick to come: the close
// frame says which, and the room goes on. What a well-behaved client may send is ignored and
// counted instead: a pong overtaken by a newer ping, a hash for a tick no longer compared, a
// command once the room's log is full.
//
// Relay to client:
//   welcome ROOM SEAT TICK SEED [RELAY...]
//                                on joining: the room's code, the seat (0-2, or -1 for a spectator),
//                                the last tick broadcast, and the autopilot's seed for the room's world;
//                                from a relay of a fleet, the fleet's relays too (at most kMaxFleetNamed),
//                                each HOST:PORT: when the connection breaks without a close, the client
//                                joins the room again through one of them, the same seat, as it was
//   moved RELAY                  the room is held by the fleet's relay at HOST:PORT; the relay then
//                                closes, and the client joins the room there, the same way
//   delay D                      the input delay in ticks (kMinDelay to kMaxDelay): stamp commands at
//                                least D ticks after the last tick received. Sent on joining, and
//                                again whenever the room's delay changes. 0 (kRollback), sent once on
//                                joining, says the room rolls back: a client runs its world up to
//                                kMaxPrediction ticks past the last tick received, stamps a command
//                                with the frame it runs next, and predicts the other seats' cars as
//                                held until their ticks come; a tick unlike its prediction winds its
//                                world back to the last tick it had and runs it forward again.
//   ahead A                      in a rollback room, how far past the last tick received the client
//                                runs its world (1 to kMaxPrediction): its round trip to the relay in
//                                ticks, and one to spare, so that its commands come before their tick.
//                                Sent when it changes, from the client's round trips; 2 until then.
//   tick T                       once per tick, ticks counted from 1, kTickRate a second; its further
//   T LINE...                    lines are that tick's commands of every seat, in the order the relay
//                                took them, as key-script lines stamped T ("T down 38", "T upright 1"),
//                                and the autopilot's hand-overs:
//   T autopilot SEAT on|off        the seat's car is driven by the autopilot from tick T on, or by its
//                                  person again
//   ping N / pong N              either side may ping; the other answers pong with the same N at once.
//                                The relay pings every client once a second and sets the delay from
//                                the round trips of the seats' clients, and in a rollback room each
//                                client's ahead from its own.
//   desync T SEAT...             the seats whose state hash for tick T differs from the others'
//   log                          answers a client's log: the room's recording so far after the first
//   RECORDING...                 line (a key-script recording: kelvaron-replay --script plays it); for
//                                log TICK, its lines after tick TICK only
//   snapshot TICK HEX BASE64     answers a client's snapshot: a seat's world after tick TICK, the bytes
//                                of sim/Snapshot.h in base64, and HEX the state hash most seats sent for
//                                TICK. The client checks the world against HEX before it runs on from it
//                                with log TICK; one that does not match it answers with wrong TICK and
//                                asks again. snapshot 0: no seat the client has not had one from has a
//                                world to give (none is seated, or each had none or a wrong one): the
//                                client takes the whole log. The relay keeps the newest world offered and
//                                gives it while it is at most kFreshSnapshotTicks old.
//   offer                        asks a seat for the newest world it keeps, for a client joining
//   refused REASON...            the room asked for does not exist; the relay then closes
//
// Client to relay:
//   cmd TICK COMMAND...          a command of the client's own seat for tick TICK, as a key script's
//                                line after its frame: "cmd 120 down 38", "cmd 120 upright 1". Only
//                                what changes the shared world is taken, and only for the seat's own
//                                car; spectators' commands are dropped. A tick already broadcast is
//                                moved to the next one (its sender, in a rollback room, corrects as
//                                for any wrong prediction); a tick more than kMaxTicksAhead ahead is
//                                not taken.
//   ping N / pong N              as above
//   hash TICK HEX                the client's state hash after tick TICK, compared between seats: of
//                                the world run with every command of that tick and those before
//   log                          asks for the room's recording so far
//   log TICK                     ...its lines after tick TICK only, for a client that has that tick's world
//   snapshot                     asks for a recent world of the room, to join it without running its
//                                whole log; a client has at most one of each seat's
//   offer TICK BASE64            answers offer: the seat's world after a confirmed tick TICK whose hash
//                                it has sent, as snapshot says; offer 0 when it keeps none yet. The one
//                                message over kMaxMessageBytes the relay takes, and only in answer; a
//                                seat that has not answered in kSilentSeconds is passed over
//   wrong TICK                   the world the relay gave for TICK is not the room's: it forgets that
//                                world, and the client asks again
//   sit SEAT                     a spectator takes a seat: SEAT (0 to 2) if no one holds it, else as
//                                the join would have seated it (-1 for any); answered with welcome again,
//                                the seat in it (-1: still watching)
//
// A seat silent for kSilentSeconds (no message at all, or gone) is handed to the autopilot; a person
// who comes back to it, on the same connection or with &seat=N, has it again. A room ends when no
// one has been in it for kEmptyRoomSeconds; with --log-dir its recording is then kept as
// DIR/ROOM.keys, hand-overs and all.
#pragma once

// Raised when a message changes or is added; 2: logs of recording format 2; 3: sit; 4: rollback rooms
// (delay 0) by default, and ?delay=D for a room that waits; 5: joining by a seat's snapshot; 6: fleets
// (the relays in welcome, moved)
constexpr int kRelayProtocol = 6;
constexpr int kDefaultRelayPort = 27183;
constexpr int kTickRate = 30;  // ticks a second
constexpr int kSeatCount = 3;
constexpr int kSpectator = -1;
constexpr int kMinDelay = 3;
constexpr int kMaxDelay = 6;
constexpr int kRollback = 0;         // a room's delay when it rolls back
constexpr long kMaxPrediction = 8;   // frames a rollback room's client runs past the last tick it has
constexpr int kDefaultAhead = 2;     // ...until the relay says from its round trips
constexpr long kMaxTicksAhead = 300;
constexpr int kMaxMessageBytes = 512;
constexpr int kMaxOfferBytes = 64 << 10;  // a snapshot of some 21 KB in base64, with room to grow
constexpr long kFreshSnapshotTicks = 10 * kTickRate;  // a kept world older than this is asked for afresh
constexpr int kMaxMessagesPerSecond = 200;
constexpr int kSilentSeconds = 2;
constexpr int kEmptyRoomSeconds = 10;
constexpr int kCodeBits = 80;  // a room's code: this many random bits, in hex
constexpr int kMaxRooms = 1000;
constexpr int kMaxFleetNamed = 8;  // relays a welcome names
constexpr int kDefaultMaxPerAddress = 64;  // connections from one address: a household, not a botnet
constexpr long kMaxLogBytes = 16L << 20;  // a room's log beyond this takes no more commands

// The messages' first words.
constexpr char kWelcomeWord[] = "welcome";
constexpr char kDelayWord[] = "delay";
constexpr char kAheadWord[] = "ahead";
constexpr char kTickWord[] = "tick";
constexpr char kPingWord[] = "ping";
constexpr char kPongWord[] = "pong";
constexpr char kDesyncWord[] = "desync";
constexpr char kLogWord[] = "log";
constexpr char kRefusedWord[] = "refused";
constexpr char kCommandWord[] = "cmd";
constexpr char kHashWord[] = "hash";
constexpr char kSitWord[] = "sit";
constexpr char kSnapshotWord[] = "snapshot";
constexpr char kOfferWord[] = "offer";
constexpr char kWrongWord[] = "wrong";
constexpr char kMovedWord[] = "moved";
// The WebSocket's path and its query's keys.
constexpr char kRoomsPath[] = "/ws";
constexpr char kRoomKey[] = "room";
constexpr char kSeatKey[] = "seat";
constexpr char kProtocolKey[] = "protocol";
constexpr char kPhysicsKey[] = "physics";
constexpr char kWatchKey[] = "watch";
constexpr char kDelayKey[] = "delay";
