// The channel read from an SDP server's answer, the records made by
// libbluetooth as a device's SDP server makes them.
#include <gtest/gtest.h>

#include <vector>

#include "link/sdp_channel.h"

namespace {

// A Serial Port record reached over L2CAP and, where `channel` is not 0,
// RFCOMM on that channel: its attribute list as the server sends it.
std::vector<uint8_t> SerialPortRecord(uint8_t channel) {
    sdp_record_t* record = sdp_record_alloc();
    uuid_t serialPort, l2cap, rfcomm;
    sdp_uuid16_create(&serialPort, SERIAL_PORT_SVCLASS_ID);
    sdp_uuid16_create(&l2cap, L2CAP_UUID);
    sdp_uuid16_create(&rfcomm, RFCOMM_UUID);
    sdp_list_t* classes = sdp_list_append(nullptr, &serialPort);
    sdp_set_service_classes(record, classes);
    sdp_list_t* l2capProtocol = sdp_list_append(nullptr, &l2cap);
    sdp_list_t* stack = sdp_list_append(nullptr, l2capProtocol);
    sdp_list_t* rfcommProtocol = nullptr;
    sdp_data_t* channelData = nullptr;
    if (channel != 0) {
        channelData = sdp_data_alloc(SDP_UINT8, &channel);
        rfcommProtocol = sdp_list_append(sdp_list_append(nullptr, &rfcomm), channelData);
        sdp_list_append(stack, rfcommProtocol);
    }
    sdp_list_t* access = sdp_list_append(nullptr, stack);
    sdp_set_access_protos(record, access);

    sdp_buf_t pdu{};
    EXPECT_EQ(sdp_gen_record_pdu(record, &pdu), 0);
    std::vector<uint8_t> bytes(pdu.data, pdu.data + pdu.data_size);
    free(pdu.data);
    sdp_list_free(access, nullptr);
    sdp_list_free(stack, nullptr);
    sdp_list_free(l2capProtocol, nullptr);
    sdp_list_free(rfcommProtocol, nullptr);
    if (channelData != nullptr) sdp_data_free(channelData);
    sdp_list_free(classes, nullptr);
    sdp_record_free(record);
    return bytes;
}

// The attribute lists of an answer: a sequence of the records' lists.
std::vector<uint8_t> Lists(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> body;
    for (const std::vector<uint8_t>& record : records) body.insert(body.end(), record.begin(), record.end());
    std::vector<uint8_t> lists = {SDP_SEQ16, static_cast<uint8_t>(body.size() >> 8),
                                  static_cast<uint8_t>(body.size() & 0xff)};
    lists.insert(lists.end(), body.begin(), body.end());
    return lists;
}

std::optional<uint8_t> ChannelIn(const std::vector<uint8_t>& lists) {
    return SerialPortChannelIn(lists.data(), lists.size());
}

TEST(SdpChannel, ThePublishedChannel) {
    EXPECT_EQ(ChannelIn(Lists({SerialPortRecord(3)})), 3);
    EXPECT_EQ(ChannelIn(Lists({SerialPortRecord(30)})), 30);
}

TEST(SdpChannel, TheFirstRecordThatHasOne) {
    EXPECT_EQ(ChannelIn(Lists({SerialPortRecord(0), SerialPortRecord(5), SerialPortRecord(7)})), 5);
}

TEST(SdpChannel, NoneWhereNoRecordHasOne) {
    EXPECT_EQ(ChannelIn(Lists({})), 0);
    EXPECT_EQ(ChannelIn({}), 0);
    EXPECT_EQ(ChannelIn(Lists({SerialPortRecord(0)})), 0);
    EXPECT_EQ(ChannelIn(Lists({SerialPortRecord(31)})), 0);
}

TEST(SdpChannel, BytesThatAreNotAttributeListsAreRefused) {
    std::vector<uint8_t> whole = Lists({SerialPortRecord(3)});
    EXPECT_FALSE(ChannelIn({0x08, 0x01}));  // a number, not a sequence
    for (size_t cut : {size_t{1}, size_t{3}, whole.size() / 2, whole.size() - 1})
        EXPECT_FALSE(ChannelIn(std::vector<uint8_t>(whole.begin(), whole.begin() + cut))) << cut;
    std::vector<uint8_t> notRecords = {SDP_SEQ8, 2, 0x08, 0x01};
    EXPECT_FALSE(ChannelIn(notRecords));
}

}  // namespace
