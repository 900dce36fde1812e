// The client operations by name, so that a network description can tell any
// of them to fail.
#pragma once

#include <string>

enum class ClientOperation {
  StartClient,
  ResolvePath,
  ConvertNameSpace,
  VolumeNameOfPath,
  VolumeNumber,
  ConnectionItem,
  LoginNameOfConnection,
  UserVolumeRestriction,
  QueryServerName,
  OpenTempDirHandle,
  ReadDirSpaceLimits,
  CloseDirHandle,
  LocaleNumbers,
  StartCharConversion,
  EndCharConversion,
  OpenDirContext,
  IsDirAuthenticated,
  AllocDirBuffer,
  PrepareDirBuffer,
  AddAttributeName,
  LoggedInObjectName,
  ReadObject,
  ReplyAttributeCount,
  NextAttributeName,
  NextAttributeValue,
  FreeDirBuffer,
  CloseDirContext,
};

constexpr int kClientOperationCount = static_cast<int>(ClientOperation::CloseDirContext) + 1;

const char* ClientOperationName(ClientOperation operation);

// Exact, case-sensitive match of the name; false for an unknown name.
bool ClientOperationFromName(const std::string& name, ClientOperation* operation);
