#include "config/ApplySettings.h"

void ApplyEditedFields(CameraInfo& info, const CameraInfo& record) {
    info.bDhcp = record.bDhcp;
    info.nHttpPort = record.nHttpPort;
    SetFieldText(info.szIp, FieldText(record.szIp));
    SetFieldText(info.szMask, FieldText(record.szMask));
    SetFieldText(info.szGateway, FieldText(record.szGateway));
    SetFieldText(info.szDns, FieldText(record.szDns));
    SetFieldText(info.szUser, FieldText(record.szUser));
    SetFieldText(info.szPassword, FieldText(record.szPassword));
}
