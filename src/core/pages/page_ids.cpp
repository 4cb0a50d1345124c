#include "core/pages/page_ids.h"

namespace vrx4 {

const ChannelIds& channelIds(Channel ch) {
  static constexpr ChannelIds kControl{1133, 1134, 1135, 1136, 1140, 1144, 1141, 1146, 1145, 1143,
                                       1199, 1142, 1148, 1138, 1139, 1198, 9008, {1147, 1055, 1149, 1056}};
  static constexpr ChannelIds kAuxin{1175, 1176, 1177, 1178, 1188, 1189, 1186, 1185, 1187, 1190,
                                     1199, 1179, 1180, 1181, 1182, 1198, 9011, {1183, 1184, 1191, 1192}};
  static constexpr ChannelIds kUout{1149, 1150, 1151, 1152, 1160, 1158, 1159, 1156, 1157, 1155,
                                    0,    0,    0,    0,    0,    1198, 9010, {1161, 1162, 1163, 1164}};
  static constexpr ChannelIds kIout{1166, 1163, 1164, 1165, 1172, 1171, 1168, 1169, 1170, 1167,
                                    0,    0,    0,    0,    0,    1198, 9009, {1173, 1174, 1175, 1176}};
  switch (ch) {
    case Channel::Auxin: return kAuxin;
    case Channel::Uout: return kUout;
    case Channel::Iout: return kIout;
    case Channel::Control: break;
  }
  return kControl;
}

}  // namespace vrx4
