#pragma once

namespace kestrel::test {

/// The vertex shader every mesh creates: Direct3D assembly, CR LF after every line. Line 24 has
/// two blanks after "dp3"; line 26 is seven tabs and a comment.
inline constexpr char kMeshVertexShader[] =
    "vs.1.1\r\n"
    "dcl_position v0\r\n"
    "dcl_normal v3\r\n"
    "dcl_texcoord0 v7\r\n"
    "dcl_texcoord1 v8\r\n"
    "dcl_texcoord2 v9\r\n"
    "mul r1, v0, c20\r\n"
    "mad r1, v8, c21, r1\r\n"
    "mul r0, r1.x, c0\r\n"
    "mad r0, r1.y, c1, r0\r\n"
    "mad r0, r1.z, c2, r0\r\n"
    "add oPos, c3, r0\r\n"
    ";interpolate normal into r0\r\n"
    "mul r0, v3, c20\r\n"
    "mad r0, v9, c21, r0\r\n"
    ";transf normal\r\n"
    "dp3 r1.x, r0, c4\r\n"
    "dp3 r1.y, r0, c5\r\n"
    "dp3 r1.z, r0, c6\r\n"
    ";renormalize\r\n"
    "dp3 r1.w, r1, r1\r\n"
    "rsq r1.w, r1.w\r\n"
    "mul r1, r1, r1.w\r\n"
    "dp3  r0, r1, c7             // perform lighting N dot L calculation in world\r\n"
    "mul oD0, c8, r0 // apply light color\r\n"
    "\t\t\t\t\t\t\t // interpolated diffuse vertex color\r\n"
    "mov oT0.zw, c10\r\n"
    "mov oT1.zw, c10\r\n"
    "mov oT2.zw, c10\r\n"
    "mov oT3.zw, c10\r\n"
    "mov oT0.xy, v7.xyxy\r\n"
    "mov oT1.xy, v7.zwzw\r\n"
    "mov oT2.xy, v8.xyxy\r\n"
    "mov oT3.xy, v8.zwzw\r\n";

} // namespace kestrel::test
