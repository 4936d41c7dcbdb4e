// Fixed texts and names of the update engine. The last error texts are GBK
// (code page 936) bytes, as every text of the updater; the comment beside
// each gives its meaning.
#pragma once

namespace updater {

// User agent of the internet session.
constexpr char kUserAgent[] = "http";
// Prefix of the temporary version document (the system keeps three letters).
constexpr char kTempPrefix[] = "Dresol";
// Name of the downloaded setup program in the temporary folder.
constexpr char kSetupFileName[] = "VemliSetup.exe";

// "连接更新服务器失败": connecting to the update server failed.
constexpr char kTextConnectFailed[] =
    "\xc1\xac\xbd\xd3\xb8\xfc\xd0\xc2\xb7\xfe\xce\xf1\xc6\xf7\xca\xa7\xb0\xdc";
// "创建 _CheckVersionMain 线程失败": creating the check thread failed.
constexpr char kTextThreadFailed[] =
    "\xb4\xb4\xbd\xa8 _CheckVersionMain \xcf\xdf\xb3\xcc\xca\xa7\xb0\xdc";
// "m_pCurrentProcessFile->SendRequest() 失败": sending the request failed.
constexpr char kTextSendFailed[] = "m_pCurrentProcessFile->SendRequest() \xca\xa7\xb0\xdc";
// "查找服务器文件 \"%s\" 失败" with the object name: the server has no such file.
constexpr char kTextFileMissingFormat[] =
    "\xb2\xe9\xd5\xd2\xb7\xfe\xce\xf1\xc6\xf7\xce\xc4\xbc\xfe \"%s\" \xca\xa7\xb0\xdc";
// "与更新服务器的连接中断": the connection to the update server was interrupted.
constexpr char kTextConnectionLost[] =
    "\xd3\xeb\xb8\xfc\xd0\xc2\xb7\xfe\xce\xf1\xc6\xf7\xb5\xc4\xc1\xac\xbd\xd3\xd6\xd0\xb6\xcf";
// "下载的安装程序与版本文件中的 SHA-256 不符": the downloaded setup does not
// match the SHA-256 of the version document.
constexpr char kTextSetupMismatch[] =
    "\xcf\xc2\xd4\xd8\xb5\xc4\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2\xd3\xeb\xb0\xe6\xb1\xbe\xce\xc4"
    "\xbc\xfe\xd6\xd0\xb5\xc4 SHA-256 \xb2\xbb\xb7\xfb";

// "下载的安装程序与版本文件中的 SetupSize 不符": the downloaded setup does not
// match the SetupSize of the version document (more bytes, or a length that
// says otherwise).
constexpr char kTextSetupSizeMismatch[] =
    "\xcf\xc2\xd4\xd8\xb5\xc4\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2\xd3\xeb\xb0\xe6\xb1\xbe\xce\xc4\xbc"
    "\xfe\xd6\xd0\xb5\xc4 SetupSize \xb2\xbb\xb7\xfb";

} // namespace updater
